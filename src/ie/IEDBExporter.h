#pragma once

#include <QString>

#include "foundation/Error.h"

class Chapter;
class Page;

// Writes one library chapter as a zip whose folder name carries the book's
// title, volume, chapter number and source, so that the zip import reads it
// back: "Title_v2_c15[Source]/001.jpg".
// Thread contract: the thread of the chapter's context (an export operation).
class IEDBExporter
{
public:
    static inline const QString ErrorDomain = QStringLiteral("IEDBExporter");

    // Replaces an older zip of the same name. Pages whose file is missing
    // are left out. On failure nothing of this export stays behind, and
    // nothing else is touched.
    bool exportChapter(const Chapter &chapter, const QString &outputRootPath, OptionalError *error);

    // The zip written last (empty when the export failed before writing
    // it), and the folder path of the same name without ".zip" (neither
    // created nor removed: a folder there is the user's).
    const QString &zipFileName() const { return zipFileName_; }
    const QString &zipOutputPath() const { return zipOutputPath_; }

    static QString chapterBaseName(const Chapter &chapter, const QString &destDirectory = QString());
    static QString bookBaseNameFromTitle(const QString &title);
    static QString pageBaseName(const Page &page);

private:
    bool fail(const QString &message, OptionalError *error);

    QString zipFileName_;
    QString zipOutputPath_;
};
