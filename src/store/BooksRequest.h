#pragma once

#include <QString>

#include "store/FetchRequest.h"

class ManagedObjectContext;

// The library's books, never the downloads book, by title in the reader's
// collation. With a title: the books whose title matches it ignoring case
// ("*" and "?" are wildcards); with a root title as well: only those from
// that source. A null title means none (an empty one matches only empty
// titles), and a root title without a title is ignored.
class BooksRequest : public FetchRequest
{
public:
    BooksRequest();
    explicit BooksRequest(const QString &title);
    // The entity is the same in every context, so `context` only says which
    // context the caller will run the request on (a background one when saving).
    BooksRequest(const QString &title, const QString &rootTitle, ManagedObjectContext *context = nullptr);
};
