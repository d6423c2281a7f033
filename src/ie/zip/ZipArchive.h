#pragma once

#include <functional>

#include <QString>
#include <QStringList>

// Told about problems while a zip is read; both optional.
class ZipArchiveDelegate
{
public:
    virtual ~ZipArchiveDelegate() = default;
    virtual void ErrorMessage(const QString &message) {}
    // Asked before an existing file is replaced when overwriting is off.
    virtual bool OverWriteOperation(const QString &path) { return true; }
};

// Reads and writes zip files through minizip.
//
// Unpacking treats the archive as hostile: before anything is written every
// entry name is checked, and an entry that is absolute, climbs out of the
// destination ("..", a drive letter) or is a symbolic link fails the whole
// unpacking. While writing, the bytes and entries written are counted against
// the limits below, so a small archive cannot fill the disk.
//
// Thread contract: runs on the caller's thread; one object per thread.
class ZipArchive
{
public:
    // What stopped an unpacking.
    enum class Failure { None, CannotOpen, UnsafeEntry, TooLarge, WriteFailed, ReadFailed };

    struct Limits {
        quint64 maxEntries = 10'000;
        quint64 maxTotalBytes = 4ull << 30;
        // Unpacking stops before the free space would drop below this.
        quint64 minFreeBytes = 250ull << 20;
        // The free bytes when unpacking starts; unset reads the file system
        // that holds the home directory.
        std::function<quint64()> freeSpace;
    };

    ZipArchive() = default;
    ~ZipArchive(); // finishes a zip being written
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    void setDelegate(ZipArchiveDelegate *delegate) { delegate_ = delegate; }
    void setLimits(Limits limits) { limits_ = std::move(limits); }

    bool UnzipOpenFile(const QString &path);
    // Unpacks every entry under `folder`; "\" in names counts as "/".
    bool UnzipFileTo(const QString &folder, bool overWrite);
    bool UnzipCloseFile();
    Failure failure() const { return failure_; }
    // The files and folders the last UnzipFileTo created (not the ones it
    // replaced), deepest last, so that a failed unpacking can be undone.
    const QStringList &createdPaths() const { return created_; }

    bool CreateZipFile2(const QString &path);
    // Stored deflated at the default level, dated with the file's
    // modification time.
    bool addFileToZip(const QString &file, const QString &newname);
    bool CloseZipFile2();

private:
    void report(const QString &message);
    bool checkEntries(quint64 *declaredBytes);
    bool makeFolders(const QString &root, const QString &relative);

    void *zipFile_ = nullptr;
    void *unzFile_ = nullptr;
    ZipArchiveDelegate *delegate_ = nullptr;
    Limits limits_;
    Failure failure_ = Failure::None;
    QStringList created_;
};
