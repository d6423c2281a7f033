#pragma once

#include <memory>

#include <QString>

#include "foundation/Decimal.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "store/Chapter.h"

// The generated library the benchmarks share, so that the store and the
// screens are measured on the same kind of data: titles that do not sort
// the same by code point and by the collator, chapter numbers whose text
// order is not their numeric order. Header-only: every bench/*.cpp is a
// program of its own.
namespace BenchLibrary {

inline QString bookTitle(int i)
{
    static const char *words[] = {"alpha", "Bravo", "Éclair", "delta", "Zulu", "echo", "Ötzi", "mango"};
    return QString::fromUtf8(words[i % 8]) + QStringLiteral(" %1").arg((i * 7919) % 2000);
}

// Adds `count` complete chapters of 20 pages (records only), numbered 0 to
// count - 1 in a scrambled order, every other one with a half.
inline void addChapters(AppData &appData, Book &book, int count)
{
    for (int i = 0; i < count; ++i) {
        const Decimal number = Decimal::fromString(QString::number((i * 37) % count)) +
                               (i % 2 ? Decimal::fromString(u"0.5") : Decimal());
        appData.createChapterWithTitle(QStringLiteral("Chapter %1").arg(i), number, 20, true)->setBook(&book);
    }
}

// Books `first` to `first + count - 1`, each with `chapters` chapters; unsaved.
inline void addBooks(AppData &appData, int first, int count, int chapters)
{
    for (int i = first; i < first + count; ++i) {
        auto book = appData.createBookWithTitle(bookTitle(i), QStringLiteral("Site"));
        addChapters(appData, *book, chapters);
    }
}

} // namespace BenchLibrary
