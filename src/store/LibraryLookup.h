#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QString>

class Book;
class Chapter;
class Decimal;
class ManagedObjectContext;

// Finding a stored chapter by what a person types: the book's title and the
// chapter's number, as yomora-cli's commands and `yomora --open-chapter` take
// them.
// Thread contract: the thread of the context.
class LibraryLookup
{
public:
    // The library book whose title is `title` ignoring case (the first of
    // several in the library's order); never the downloads book. Wildcards
    // in the title are matched literally. Null when there is none.
    static std::shared_ptr<Book> bookWithTitle(ManagedObjectContext &context, const QString &title);
    // Every library book of that title, in the library's order; with a
    // source, only those from it (its name also ignoring case).
    static std::vector<std::shared_ptr<Book>>
    booksWithTitle(ManagedObjectContext &context, const QString &title, const std::optional<QString> &source);
    // The book's chapter numbered `number` (the last of equals), or null.
    static std::shared_ptr<Chapter> chapterWithNumber(const Book &book, const Decimal &number);
};
