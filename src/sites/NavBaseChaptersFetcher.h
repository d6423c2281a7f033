#pragma once

#include <memory>
#include <mutex>
#include <optional>

#include <QList>
#include <QString>

#include "foundation/Error.h"
#include "sites/NavBookInfo.h"
#include "sites/NavChapter.h"
#include "sites/CatalogueFetchOperation.h"
#include "sites/SiteConfig.h"

class HyperParserDelegate;

class NavBaseChaptersFetcher;

// Hears how a chapter fetch ended. Called on the fetch's own thread, under
// the fetcher class's report lock; receivers hand over to the main thread.
class NavBaseChaptersFetcherDelegate
{
public:
    virtual ~NavBaseChaptersFetcherDelegate() = default;
    virtual void navBaseChaptersFetcherFinished(NavBaseChaptersFetcher *fetcher) = 0;
    virtual void navBaseChaptersFetcherFailed(NavBaseChaptersFetcher *fetcher) = 0;
};

// Fetches one catalogue page and reads chapters from it: the base of the
// book-page fetchers and of the latest-release fetchers.
// Thread contract: main() runs on an operation queue's thread and reports
// there (see the delegate). The results are written only by main(); read
// them in the delegate call or after the operation has finished. A
// cancelled fetcher never reports.
class NavBaseChaptersFetcher : public CatalogueFetchOperation
{
public:
    NavBaseChaptersFetcher(const QString &urlString, NavBaseChaptersFetcherDelegate *delegate);

    static QString errorDomain(); // "NavBaseChaptersFetcherErrorDomain"
    static Error cannotFindChaptersError();
    static Error unknownEncodingError();

    const QString &urlString() const { return urlString_; }
    const QList<NavChapter> &chapters() const { return chapters_; }
    const NavBookInfo &navBookInfo() const { return navBookInfo_; }
    NavBaseChaptersFetcherDelegate *delegate() const { return delegate_; }
    const std::optional<Error> &error() const { return error_; }
    const QString &htmlString() const { return htmlString_; }
    const QString &nextPage() const { return nextPage_; }

    // Fetches urlString and reads the page (readPage); reports the outcome
    // unless cancelled.
    void main() override;

    // Reads a page already in hand (a saved page) exactly as main() reads the
    // page it fetched: "Unknown encoding" for an empty text, then go(), then
    // the licence filter. True when the page gave a result.
    bool readPage(const QString &text);

    // Reads htmlString with the site's parser; true when the page gave a result.
    virtual bool go() = 0;
    // Loads one page as text into htmlString; false (with error set) when
    // the request failed or the body could not be decoded.
    bool fetchHTML(const QString &urlString);
    virtual void filterLicensed() {}
    // Stores the error; always false, so that `return failWithError(...)` reads well.
    bool failWithError(const Error &error);

protected:
    // Runs parser over htmlString, stopping early when cancelled.
    void parseHTML(HyperParserDelegate &parser);

    // The fetcher class's own pair of report locks.
    virtual std::mutex &finishedLock() = 0;
    virtual std::mutex &failedLock() = 0;

    QString urlString_;
    QList<NavChapter> chapters_;
    NavBookInfo navBookInfo_;
    NavBaseChaptersFetcherDelegate *delegate_; // not owned; outlives the fetch
    std::optional<Error> error_;
    QString htmlString_;
    QString nextPage_; // no site page gives one yet
};
