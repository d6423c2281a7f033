#include "ie/zip/IEZipper.h"

#include <cstdio>

#include <QFile>
#include <QFileInfo>

bool IEZipper::zipFiles(const QStringList &files, const QStringList &newBaseNames, const QString &zipFileName)
{
    if (files.size() != newBaseNames.size()) {
        std::fputs("files and basenames have different count\n", stderr);
        return false;
    }
    if (files.isEmpty()) {
        std::fputs("no files to zip\n", stderr);
        return false;
    }
    bool added = false;
    bool closed = false;
    {
        ZipArchive archive;
        if (archive.CreateZipFile2(zipFileName)) {
            added = true;
            for (qsizetype i = 0; i < files.size() && added; ++i)
                added = QFileInfo(files[i]).isFile() && archive.addFileToZip(files[i], newBaseNames[i]);
            closed = archive.CloseZipFile2();
        }
    }
    std::fprintf(stderr, "** status %d, close status %d\n", int(added), int(closed));
    if (added && closed)
        return true;
    QFile::remove(zipFileName);
    return false;
}

bool IEZipper::unzipFileName(const QString &zipFileName, const QString &path)
{
    ZipArchive::Failure failure;
    QStringList created;
    return unzipFileName(zipFileName, path, &failure, &created);
}

bool IEZipper::unzipFileName(const QString &zipFileName, const QString &path, ZipArchive::Failure *failure,
                             QStringList *createdPaths, const ZipArchive::Limits &limits)
{
    *failure = ZipArchive::Failure::CannotOpen;
    createdPaths->clear();
    if (zipFileName.isEmpty() || path.isEmpty())
        return false;
    ZipArchive archive;
    archive.setLimits(limits);
    if (!archive.UnzipOpenFile(zipFileName))
        return false;
    const bool ok = archive.UnzipFileTo(path, true);
    archive.UnzipCloseFile();
    *failure = archive.failure();
    *createdPaths = archive.createdPaths();
    return ok;
}
