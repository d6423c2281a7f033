#pragma once

#include <memory>
#include <stdexcept>

#include <QList>
#include <QString>

#include "foundation/Error.h"
#include "sites/CatalogueFetchOperation.h"
#include "sites/NavBook.h"

class BooksParserDelegate;
class NavBooksFetcher;

// Told how a list fetch ended, on the main thread and under the fetcher
// class's lock for that outcome (see NavBooksFetcher::main); never told of a
// cancelled fetch.
class NavBooksFetcherDelegate
{
public:
    virtual ~NavBooksFetcherDelegate() = default;
    virtual void navBooksFetcherFinished(NavBooksFetcher &fetcher) {}
    virtual void navBooksFetcherFailed(NavBooksFetcher &fetcher) {}
    // Back on the fetcher's own thread once navBooksFetcherFinished has run,
    // even if the fetch was cancelled since: for the slow work that the list
    // on screen need not wait for.
    virtual void navBooksFetcherFinishedInBackground(NavBooksFetcher &fetcher) {}
};

// Raised by the base class for what only a site variant can do.
class NotImplementedException : public std::logic_error
{
public:
    explicit NotImplementedException(const QString &reason) : std::logic_error(reason.toStdString()) {}
    static const char *name() { return "Not implemented"; }
};

// One fetch of one book list: loads the page, runs the site's parser over
// it and filters out licensed titles.
// Thread contract: main() runs on the wrapper queue's worker thread and
// reports on the main thread, to a delegate that must outlive the operation;
// cancel() from any thread, after which the fetcher never reports.
class NavBooksFetcher : public CatalogueFetchOperation
{
public:
    static const QString &errorDomain(); // "NavBooksFetcherErrorDomain"
    enum ErrorCode { CannotFindBooks = 1, UnknownEncoding = 3 };
    static Error cannotFindBooksError();
    static Error unknownEncodingError();

    NavBooksFetcher(const QString &urlString, const QString &rootTitle, const QString &directoryURLString,
                    bool doSectionFilter, NavBooksFetcherDelegate *delegate);

    void main() override;

    // Fetches the site's page and reads it (readPage) into books(); true on
    // success.
    virtual bool go();
    // Reads a page already in hand with parser exactly as go() reads the page
    // it fetched: "Unknown encoding" for an empty text, "Unable to find
    // mangas" when the parser finds none, then the licensed titles (and with
    // the section filter, the licensed genres) left out. True on success.
    bool readPage(const QString &text, BooksParserDelegate &parser);
    // Loads one page into htmlString(); on failure records the error.
    bool fetchHTML(const QString &urlString);
    void filterLicensed();
    // Records the error; always false so that callers can return it.
    bool failWithError(const Error &error);

    const QString &urlString() const { return urlString_; }
    const QString &rootTitle() const { return rootTitle_; }
    const QString &directoryURLString() const { return directoryURLString_; }
    const QList<NavBook> &books() const { return books_; }
    void setBooks(const QList<NavBook> &books) { books_ = books; }
    const OptionalError &error() const { return error_; }
    const QString &htmlString() const { return htmlString_; }
    bool doSectionFilter() const { return doSectionFilter_; }

protected:
    bool parseBooks(BooksParserDelegate &parser);

    QString urlString_;
    QString rootTitle_;
    QString directoryURLString_;
    QList<NavBook> books_;
    NavBooksFetcherDelegate *delegate_;
    OptionalError error_;
    QString htmlString_;
    bool doSectionFilter_;
};
