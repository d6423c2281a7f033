#include "store/LibraryLookup.h"

#include "store/Book.h"
#include "store/BooksRequest.h"
#include "store/Chapter.h"
#include "store/ManagedObjectContext.h"

std::shared_ptr<Book> LibraryLookup::bookWithTitle(ManagedObjectContext &context, const QString &title)
{
    // Compared here rather than through the request's LIKE, which would
    // read "*" and "?" in a title as wildcards.
    for (const auto &book : context.fetch<Book>(BooksRequest())) {
        if (book->title().compare(title, Qt::CaseInsensitive) == 0)
            return book;
    }
    return nullptr;
}

std::vector<std::shared_ptr<Book>> LibraryLookup::booksWithTitle(ManagedObjectContext &context,
                                                                 const QString &title,
                                                                 const std::optional<QString> &source)
{
    std::vector<std::shared_ptr<Book>> found;
    for (const auto &book : context.fetch<Book>(BooksRequest())) {
        if (book->title().compare(title, Qt::CaseInsensitive) != 0)
            continue;
        if (source && book->rootTitle().compare(*source, Qt::CaseInsensitive) != 0)
            continue;
        found.push_back(book);
    }
    return found;
}

std::shared_ptr<Chapter> LibraryLookup::chapterWithNumber(const Book &book, const Decimal &number)
{
    std::shared_ptr<Chapter> chapter;
    for (const auto &candidate : book.chapters()) {
        if (candidate->number() == number)
            chapter = candidate;
    }
    return chapter;
}
