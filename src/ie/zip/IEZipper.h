#pragma once

#include <QString>
#include <QStringList>

#include "ie/zip/ZipArchive.h"

// Writes a list of files into one zip under new names, and unpacks a whole
// zip into a folder. Thread contract: runs on the caller's thread.
class IEZipper
{
public:
    // False without writing anything when the lists differ in length or are
    // empty; false and no zip left behind when a file is missing or cannot
    // be added.
    static bool zipFiles(const QStringList &files, const QStringList &newBaseNames,
                         const QString &zipFileName);
    // Unpacks every entry into `path`, replacing existing files.
    static bool unzipFileName(const QString &zipFileName, const QString &path);
    // The same, saying why it failed and which files and folders it made, so
    // that the caller can take them away again.
    static bool unzipFileName(const QString &zipFileName, const QString &path, ZipArchive::Failure *failure,
                              QStringList *createdPaths, const ZipArchive::Limits &limits = {});
};
