#include "ie/IEImportUnzipper.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "foundation/Localized.h"
#include "ie/zip/IEFSStats.h"
#include "ie/zip/IEZipper.h"

namespace {
constexpr quint64 kReservedBytes = 262'144'000;
}

bool IEImportUnzipper::fail(int code, const QString &message, OptionalError *error)
{
    cleanUp();
    if (error)
        *error = Error{ErrorDomain, code, message};
    return false;
}

void IEImportUnzipper::cleanUp()
{
    const QFileInfo info(unzippedPath_);
    if (unzippedPath_.isEmpty() || (!info.exists() && !info.isSymLink()))
        return;
    if (info.isDir() && !info.isSymLink())
        QDir(unzippedPath_).removeRecursively();
    else
        QFile::remove(unzippedPath_);
}

bool IEImportUnzipper::unzipFileName(const QString &zipFileName, const QString &unzippedRootPath,
                                     OptionalError *error)
{
    const quint64 size = IEFSStats::sizeOfPath(zipFileName);
    if (double(IEFSStats::freeSpace()) <= double(size) * 1.1 + kReservedBytes)
        return fail(3, localized("Not enough space"), error);
    if (size >= maxFileSize)
        return fail(
            3, withArguments(localized("File too large (max %qu MB)"), {QString::number(maxFileSize >> 20)}),
            error);

    QString name = QFileInfo(zipFileName).completeBaseName();
    // "." and ".." would name the temporary folder itself or its parent.
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    name.replace(QStringLiteral("%5B"), QStringLiteral("["));
    name.replace(QStringLiteral("%5D"), QStringLiteral("]"));
    unzippedPath_ = unzippedRootPath + u'/' + name;

    const QFileInfo existing(unzippedPath_);
    if (existing.exists() || existing.isSymLink()) {
        const bool removed = existing.isDir() && !existing.isSymLink()
                                 ? QDir(unzippedPath_).removeRecursively()
                                 : QFile::remove(unzippedPath_);
        if (!removed)
            return fail(2, localized("Cannot delete the existing file?"), error);
    }

    ZipArchive::Failure failure;
    QStringList created;
    if (IEZipper::unzipFileName(zipFileName, unzippedRootPath, &failure, &created))
        return true;
    // The zip unpacks into the root, not only into unzippedPath.
    std::for_each(created.rbegin(), created.rend(), [](const QString &path) {
        const QFileInfo info(path);
        if (info.isDir() && !info.isSymLink())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    });
    if (failure == ZipArchive::Failure::TooLarge)
        return fail(3, localized("Not enough space"), error);
    return fail(1, localized("Error in unzipping"), error);
}
