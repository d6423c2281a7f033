#pragma once

#include <QString>

#include "foundation/Decimal.h"

// Reads a book title, volume, chapter number and source out of a chapter
// folder's name, trying three common naming patterns in order:
// "Title_v2_c15[Team]", "[Team]Title - Ch15", "Title_c15[Team]".
// Thread contract: any thread; one object per use.
class IEFileNameParser
{
public:
    // False, with every result cleared, when no pattern matches.
    bool parseString(const QString &string);

    // Underscores of the title read as spaces and its percent escapes
    // decoded (the export writes them). Numbers that are missing (no
    // volume in the last two patterns) are not-a-number; texts are null.
    const QString &bookTitle() const { return bookTitle_; }
    const Decimal &chapterNumber() const { return chapterNumber_; }
    const Decimal &volumeNumber() const { return volumeNumber_; }
    const QString &source() const { return source_; }

private:
    QString bookTitle_;
    Decimal chapterNumber_ = Decimal::notANumber();
    Decimal volumeNumber_ = Decimal::notANumber();
    QString source_;
};
