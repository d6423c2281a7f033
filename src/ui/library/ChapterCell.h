#pragma once

#include <QFont>
#include <QString>

#include "ui/kit/TableCell.h"

class Chapter;

// The row of a chapter that still has something to say about itself: the
// title with, in a grey column at the right, whether it is the one read
// last, not read yet or not complete. Chapters read through need no word
// and get a plain row instead (plainCell).
class ChapterCell
{
public:
    static inline const QString Identifier = QStringLiteral("StatusChapterCell");

    // The title's look on every chapter row: bold, wrapping to two lines.
    static QFont titleFont(const QFont &base);
    static QString statusFor(const Chapter &chapter, bool isLastRead);
    // Whether `chapter` needs no status: opened before, complete and not
    // the last read.
    static bool isPlain(const Chapter &chapter, bool isLastRead);
    static TableCell plainCell(const QString &title, const QFont &base);

    ChapterCell(const QString &title, const QString &status);

    QString mainLabel;
    QString statusLabel;
    QString subtitleLabel;

    TableCell tableCell(const QFont &base) const;
};
