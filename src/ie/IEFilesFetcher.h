#pragma once

#include <QString>
#include <QStringList>

#include "foundation/Error.h"

// Lists the files the user can import from a folder (the documents folder):
// plain files only, sorted by file name, without the library's own
// bookkeeping files that may share the folder.
// Thread contract: the caller's thread; one object per list.
class IEFilesFetcher
{
public:
    // False, with `error` set and no files, when the folder cannot be read.
    bool fetch(const QString &path, OptionalError *error);

    // Full paths, in listing order.
    const QStringList &files() const { return files_; }
    // A file deleted elsewhere leaves the list without listing it again.
    void removeFileAt(int index);

private:
    QStringList files_;
};
