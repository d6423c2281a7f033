#pragma once

#include <QList>
#include <QString>

#include "foundation/Error.h"
#include "ie/zip/IEImportChapter.h"

// Reads an unpacked zip folder as chapters: each sub-folder is one chapter,
// or the folder's own files are one. Entries are taken in file-name order.
// Thread contract: the import operation's thread.
class IEImportDeducer
{
public:
    static inline const QString ErrorDomain = QStringLiteral("ImportDeducerDomain");

    // Every failure removes the unpacked folder.
    bool readUnzippedPath(const QString &path, OptionalError *error);
    const QList<IEImportChapter> &chapters() const { return chapters_; }
    const QString &unzippedPath() const { return unzippedPath_; }

private:
    bool readSubDirectory(const QString &path, QList<IEImportChapter> &chapters, OptionalError *error);
    bool fail(const QString &message, OptionalError *error);

    QString unzippedPath_;
    QList<IEImportChapter> chapters_;
};
