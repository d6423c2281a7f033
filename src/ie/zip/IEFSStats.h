#pragma once

#include <QString>

// Sizes of files and folders, and the free space of the home directory's
// file system. Thread contract: any thread.
class IEFSStats
{
public:
    // A file's size, or everything under a folder (folders count with the
    // size the file system gives them); 0 for a missing path. Links are not
    // followed.
    static quint64 sizeOfPath(const QString &path);
    static quint64 freeSpace();
};
