// Fuzzes zip reading and unpacking with an arbitrary file as the zip: the
// zipper's unpacking and the import's, which unpacks into its temporary
// root. Whatever the archive holds, nothing is written outside the
// destination, no link is made, and a failed unpacking can be taken away
// completely with the paths it reports (the import does so itself).
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include "FuzzSupport.h"
#include "files/FSStats.h"
#include "ie/IEImportUnzipper.h"
#include "ie/zip/IEZipper.h"

namespace {

// Kept small so that each input takes milliseconds; larger archives only
// repeat the same reading.
ZipArchive::Limits smallLimits()
{
    ZipArchive::Limits limits;
    limits.maxEntries = 64;
    limits.maxTotalBytes = 1 << 20;
    limits.freeSpace = [] { return quint64(1) << 40; };
    return limits;
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

void requireNoLinks(const QString &folder)
{
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        require(!it.fileInfo().isSymLink(), "unpacking made a link");
    }
}

// The parent holds the sandbox and nothing else: an entry that climbed out of
// the sandbox would land beside it.
void requireConfined(const QString &base, const QString &parent, const QString &sandbox)
{
    require(entriesOf(base) == QStringList({QStringLiteral("in.zip"), QStringLiteral("parent")}),
            "something written beside the zip");
    require(entriesOf(parent) == QStringList{QStringLiteral("sandbox")},
            "something written outside the sandbox");
    requireNoLinks(sandbox);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The import checks the disk before unpacking; a fixed answer keeps runs
    // alike whatever the machine holds.
    FSStats::setFreeSpaceOverride(quint64(1) << 40);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir base;
    const QString zipPath = base.filePath(QStringLiteral("in.zip"));
    const QString parent = base.filePath(QStringLiteral("parent"));
    const QString sandbox = parent + QStringLiteral("/sandbox");
    {
        QFile file(zipPath);
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the zip");
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    require(QDir().mkpath(sandbox), "cannot make the sandbox");

    ZipArchive::Failure failure = ZipArchive::Failure::None;
    QStringList created;
    const bool unpacked = IEZipper::unzipFileName(zipPath, sandbox, &failure, &created, smallLimits());
    requireConfined(base.path(), parent, sandbox);
    require(unpacked == (failure == ZipArchive::Failure::None), "failure reported on success");
    for (const QString &path : created)
        require(path.startsWith(sandbox + u'/'), "a created path outside the sandbox");
    if (!unpacked) {
        for (auto it = created.crbegin(); it != created.crend(); ++it) {
            const QFileInfo info(*it);
            require(info.isDir() ? QDir().rmdir(*it) : QFile::remove(*it),
                    "a created path cannot be removed");
        }
        require(entriesOf(sandbox).isEmpty(), "a failed unpacking left what it did not report");
    }
    require(QDir(sandbox).removeRecursively() && QDir().mkpath(sandbox), "cannot empty the sandbox");

    // The import's unpacking has the full limits: run it only where the small
    // ones were not what stopped the zipper, so that it writes as little.
    if (failure != ZipArchive::Failure::TooLarge) {
        IEImportUnzipper unzipper;
        OptionalError error;
        const bool imported = unzipper.unzipFileName(zipPath, sandbox, &error);
        requireConfined(base.path(), parent, sandbox);
        require(imported == unpacked, "the import and the zipper disagree");
        if (!imported)
            require(entriesOf(sandbox).isEmpty(), "a failed import unpacking left files behind");
    }
    require(QDir(parent).removeRecursively(), "cannot clean up");
    return 0;
}
