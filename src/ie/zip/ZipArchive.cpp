#include "ie/zip/ZipArchive.h"

#include <algorithm>
#include <cstdio>
#include <utime.h>

#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <zlib.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtDebug>

#include "ie/zip/IEFSStats.h"

namespace {

constexpr int kChunkSize = 4096;
constexpr uLong kUtf8NamesFlag = 1u << 11;
constexpr uLong kUnixHost = 3;
constexpr uLong kFileTypeMask = 0170000;
constexpr uLong kSymbolicLink = 0120000;

unzFile unz(void *handle)
{
    return static_cast<unzFile>(handle);
}

zipFile zip(void *handle)
{
    return static_cast<zipFile>(handle);
}

// The entry's name as a path below the destination, or empty when the name
// must not be written at all. A trailing "/" (a folder) is kept.
QString relativeEntryPath(const QByteArray &rawName, bool *unsafe)
{
    // The file system would stop the name at a NUL: the file would land under
    // a name other than the one checked and recorded.
    if (rawName.contains('\0')) {
        *unsafe = true;
        return {};
    }
    QString name = QString::fromUtf8(rawName);
    name.replace(u'\\', u'/');
    *unsafe = false;
    if (name.startsWith(u'/') || (name.size() >= 2 && name[1] == u':' && name[0].isLetter())) {
        *unsafe = true;
        return {};
    }
    const bool folder = name.endsWith(u'/');
    QStringList parts;
    for (const QString &part : name.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u"..") {
            *unsafe = true;
            return {};
        }
        if (part != u".")
            parts << part;
    }
    if (parts.isEmpty())
        return {};
    return parts.join(u'/') + (folder ? QStringLiteral("/") : QString());
}

bool isSymbolicLink(const unz_file_info64 &info)
{
    return (info.version >> 8) == kUnixHost && ((info.external_fa >> 16) & kFileTypeMask) == kSymbolicLink;
}

bool currentEntry(unzFile file, unz_file_info64 *info, QByteArray *name)
{
    if (unzGetCurrentFileInfo64(file, info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    // Room for the NUL the reader writes after the name: an empty QByteArray
    // has none of its own, only a shared read-only terminator.
    QByteArray buffer(qsizetype(info->size_filename) + 1, '\0');
    if (unzGetCurrentFileInfo64(file, info, buffer.data(), uLong(buffer.size()), nullptr, 0, nullptr, 0) !=
        UNZ_OK)
        return false;
    buffer.chop(1);
    *name = buffer;
    return true;
}

} // namespace

ZipArchive::~ZipArchive()
{
    CloseZipFile2();
    UnzipCloseFile();
}

void ZipArchive::report(const QString &message)
{
    if (delegate_)
        delegate_->ErrorMessage(message);
}

bool ZipArchive::UnzipOpenFile(const QString &path)
{
    UnzipCloseFile();
    unzFile_ = unzOpen64(QFile::encodeName(path).constData());
    return unzFile_ != nullptr;
}

bool ZipArchive::UnzipCloseFile()
{
    if (!unzFile_)
        return false;
    const bool closed = unzClose(unz(unzFile_)) == UNZ_OK;
    unzFile_ = nullptr;
    return closed;
}

bool ZipArchive::checkEntries(quint64 *declaredBytes)
{
    *declaredBytes = 0;
    quint64 entries = 0;
    int status = unzGoToFirstFile(unz(unzFile_));
    while (status == UNZ_OK) {
        unz_file_info64 info;
        QByteArray name;
        if (!currentEntry(unz(unzFile_), &info, &name)) {
            failure_ = Failure::ReadFailed;
            return false;
        }
        bool unsafe = false;
        relativeEntryPath(name, &unsafe);
        if (unsafe || isSymbolicLink(info)) {
            failure_ = Failure::UnsafeEntry;
            return false;
        }
        *declaredBytes += info.uncompressed_size;
        if (++entries > limits_.maxEntries || *declaredBytes > limits_.maxTotalBytes) {
            failure_ = Failure::TooLarge;
            return false;
        }
        status = unzGoToNextFile(unz(unzFile_));
    }
    if (status != UNZ_END_OF_LIST_OF_FILE) {
        failure_ = Failure::ReadFailed;
        return false;
    }
    return true;
}

bool ZipArchive::makeFolders(const QString &root, const QString &relative)
{
    QString path = root;
    for (const QString &part : relative.split(u'/', Qt::SkipEmptyParts)) {
        path += u'/' + part;
        const QFileInfo info(path);
        // A link in the way could lead the next write anywhere.
        if (info.isSymLink()) {
            failure_ = Failure::UnsafeEntry;
            return false;
        }
        if (info.isDir())
            continue;
        if (info.exists() || !QDir().mkdir(path)) {
            failure_ = Failure::WriteFailed;
            return false;
        }
        created_ << path;
    }
    return true;
}

bool ZipArchive::UnzipFileTo(const QString &folder, bool overWrite)
{
    failure_ = Failure::None;
    created_.clear();
    if (!unzFile_) {
        failure_ = Failure::CannotOpen;
        report(QStringLiteral("Failed"));
        return false;
    }
    quint64 declared = 0;
    if (!checkEntries(&declared))
        return false;
    const quint64 freeAtStart = limits_.freeSpace ? limits_.freeSpace() : IEFSStats::freeSpace();
    const quint64 writable = freeAtStart > limits_.minFreeBytes ? freeAtStart - limits_.minFreeBytes : 0;
    const quint64 budget = std::min(writable, limits_.maxTotalBytes);
    if (declared > budget) {
        failure_ = Failure::TooLarge;
        return false;
    }
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        failure_ = Failure::WriteFailed;
        return false;
    }

    // The entries' declared sizes may lie, so the bytes really written are
    // counted as well.
    quint64 written = 0;
    int status = unzGoToFirstFile(unz(unzFile_));
    if (status != UNZ_OK) {
        failure_ = Failure::ReadFailed;
        report(QStringLiteral("Failed"));
        return false;
    }
    QByteArray buffer(kChunkSize, Qt::Uninitialized);
    while (status == UNZ_OK) {
        if (unzOpenCurrentFilePassword(unz(unzFile_), nullptr) != UNZ_OK) {
            failure_ = Failure::ReadFailed;
            report(QStringLiteral("Error occurs"));
            return false;
        }
        unz_file_info64 info;
        QByteArray rawName;
        if (!currentEntry(unz(unzFile_), &info, &rawName)) {
            report(QStringLiteral("Error occurs while getting file info"));
            unzCloseCurrentFile(unz(unzFile_));
            status = unzGoToNextFile(unz(unzFile_));
            continue;
        }
        bool unsafe = false;
        const QString relative = relativeEntryPath(rawName, &unsafe);
        const bool isFolder = relative.endsWith(u'/');
        const qsizetype slash = relative.lastIndexOf(u'/', isFolder ? -2 : -1);
        if (!relative.isEmpty() &&
            !makeFolders(folder, isFolder ? relative : relative.left(qMax(0, slash)))) {
            unzCloseCurrentFile(unz(unzFile_));
            return false;
        }
        if (!relative.isEmpty() && !isFolder) {
            const QString target = folder + u'/' + relative;
            const QFileInfo existing(target);
            if (existing.isSymLink() || existing.isDir()) {
                failure_ = existing.isSymLink() ? Failure::UnsafeEntry : Failure::WriteFailed;
                unzCloseCurrentFile(unz(unzFile_));
                return false;
            }
            const bool replaces = existing.exists();
            if (replaces && !overWrite && delegate_ && !delegate_->OverWriteOperation(target)) {
                unzCloseCurrentFile(unz(unzFile_));
                status = unzGoToNextFile(unz(unzFile_));
                continue;
            }
            std::FILE *out = std::fopen(QFile::encodeName(target).constData(), "wb");
            if (!out) {
                failure_ = Failure::WriteFailed;
                unzCloseCurrentFile(unz(unzFile_));
                return false;
            }
            if (!replaces)
                created_ << target;
            for (;;) {
                const int read = unzReadCurrentFile(unz(unzFile_), buffer.data(), kChunkSize);
                if (read < 0) {
                    report(QStringLiteral("Failed to reading zip file"));
                    failure_ = Failure::ReadFailed;
                } else if (read > 0) {
                    written += quint64(read);
                    if (written > budget)
                        failure_ = Failure::TooLarge;
                    else if (std::fwrite(buffer.constData(), 1, size_t(read), out) != size_t(read))
                        failure_ = Failure::WriteFailed;
                }
                if (read <= 0 || failure_ != Failure::None)
                    break;
            }
            const bool closed = std::fclose(out) == 0;
            if (failure_ == Failure::None && !closed)
                failure_ = Failure::WriteFailed;
            if (failure_ != Failure::None) {
                unzCloseCurrentFile(unz(unzFile_));
                return false;
            }
        }
        if (unzCloseCurrentFile(unz(unzFile_)) == UNZ_CRCERROR) {
            report(QStringLiteral("Error occurs"));
            failure_ = Failure::ReadFailed;
            return false;
        }
        if (!relative.isEmpty() && !isFolder) {
            const tm_unz &d = info.tmu_date;
            const QDateTime date(QDate(int(d.tm_year), int(d.tm_mon) + 1, int(d.tm_mday)),
                                 QTime(int(d.tm_hour), int(d.tm_min), int(d.tm_sec)));
            struct utimbuf times;
            times.actime = times.modtime = time_t(date.toSecsSinceEpoch());
            if (!date.isValid() ||
                ::utime(QFile::encodeName(folder + u'/' + relative).constData(), &times) != 0) {
                report(QStringLiteral("Failed to set attributes"));
                qWarning("Failed to set attributes");
            }
        }
        status = unzGoToNextFile(unz(unzFile_));
    }
    return true;
}

bool ZipArchive::CreateZipFile2(const QString &path)
{
    CloseZipFile2();
    zipFile_ = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    return zipFile_ != nullptr;
}

bool ZipArchive::addFileToZip(const QString &file, const QString &newname)
{
    if (!zipFile_)
        return false;
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = input.readAll();
    if (input.error() != QFileDevice::NoError)
        return false;

    zip_fileinfo info{};
    const QDateTime modified = QFileInfo(file).lastModified();
    info.tmz_date.tm_year = uInt(modified.date().year());
    info.tmz_date.tm_mon = uInt(modified.date().month() - 1);
    info.tmz_date.tm_mday = uInt(modified.date().day());
    info.tmz_date.tm_hour = uInt(modified.time().hour());
    info.tmz_date.tm_min = uInt(modified.time().minute());
    info.tmz_date.tm_sec = uInt(modified.time().second());
    info.external_fa = uLong(0100644) << 16;

    const QByteArray name = newname.toUtf8();
    bool ascii = true;
    for (char c : name)
        ascii = ascii && uchar(c) < 0x80;
    const int large = quint64(data.size()) >= 0xffffffffull ? 1 : 0;
    if (zipOpenNewFileInZip4_64(zip(zipFile_), name.constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                                Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY,
                                nullptr, 0, (kUnixHost << 8) | 20, ascii ? 0 : kUtf8NamesFlag,
                                large) != ZIP_OK)
        return false;
    bool ok = true;
    for (qsizetype offset = 0; ok && offset < data.size();) {
        const unsigned chunk = unsigned(qMin<qsizetype>(data.size() - offset, 1 << 30));
        ok = zipWriteInFileInZip(zip(zipFile_), data.constData() + offset, chunk) == ZIP_OK;
        offset += chunk;
    }
    return zipCloseFileInZip(zip(zipFile_)) == ZIP_OK && ok;
}

bool ZipArchive::CloseZipFile2()
{
    if (!zipFile_)
        return false;
    const bool closed = zipClose(zip(zipFile_), nullptr) == ZIP_OK;
    zipFile_ = nullptr;
    return closed;
}
