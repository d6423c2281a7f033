#pragma once

#include <mutex>
#include <optional>

#include <QList>
#include <QString>

#include "foundation/OperationQueue.h"
#include "sites/NavBooksCache.h"
#include "sites/NavBooksFetcher.h"

// Runs the book-list fetches of the Internet tab, one at a time: a new
// request cancels whatever is still queued or running, and a cancelled fetch
// never reports. Results are kept in books() and, when asked, in the list
// cache; the screens hear of them through "NavBooksFetcherDidFinish" and
// "NavBooksFetcherDidFail".
// Thread contract: every member belongs to the main thread, where the
// fetches' reports arrive, except navBooksFetcherFinishedInBackground: it
// runs on the fetch's thread after the finished report and writes the list's
// cache file there, so the rows reach the screen without waiting for the
// disk (the cache hands the list to its readers meanwhile). Destroy it only
// when no fetch is about to report (the application never destroys it),
// since a report waits for the main thread that the destructor would be
// blocking.
class NavBooksFetcherQueueWrapper : public NavBooksFetcherDelegate
{
public:
    static const QString &didFinishNotification(); // "NavBooksFetcherDidFinish"
    static const QString &didFailNotification();   // "NavBooksFetcherDidFail"

    NavBooksFetcherQueueWrapper();
    ~NavBooksFetcherQueueWrapper() override;
    NavBooksFetcherQueueWrapper(const NavBooksFetcherQueueWrapper &) = delete;
    NavBooksFetcherQueueWrapper &operator=(const NavBooksFetcherQueueWrapper &) = delete;

    // Fetches rootURLString's list. With no fetcher for the address it
    // alerts and queues nothing.
    void goWithRootURLString(const QString &rootURLString, const QString &rootTitle,
                             const QString &directoryURLString, const QString &sectionTitle,
                             bool doSectionFilter, bool writeCache = true);
    void cancel();

    // The last fetched list; empty while a fetch runs and after a failure.
    const QList<NavBook> &books() const { return books_; }
    bool writeCache() const { return writeCache_; }
    OperationQueue &queue() { return queue_; }

    // The list cache (see NavBooksCache).
    bool booksCacheExists(const QString &rootTitle, const QString &directoryURLString) const;
    QList<NavBook> booksCacheArray(const QString &rootTitle, const QString &directoryURLString) const;
    QString booksCacheDateString(const QString &rootTitle, const QString &directoryURLString) const;
    bool writeBooksCache(const QList<NavBook> &books, const QString &rootTitle,
                         const QString &directoryURLString) const;
    QString booksCacheFileName(const QString &rootTitle, const QString &directoryURLString) const;
    static QString prefix();

    void navBooksFetcherFinished(NavBooksFetcher &fetcher) override;
    void navBooksFetcherFailed(NavBooksFetcher &fetcher) override;
    void navBooksFetcherFinishedInBackground(NavBooksFetcher &fetcher) override;

private:
    QList<NavBook> books_;
    bool writeCache_ = true;
    // The list announced to the cache by the last finished report, until
    // its fetch's thread writes it. Fetches run one at a time, so there is
    // at most one.
    std::mutex unwrittenMutex_;
    std::optional<NavBooksCache::Announced> unwritten_;
    // Last, so that it is destroyed (cancelled and joined) before the
    // fields its fetchers report into.
    OperationQueue queue_;
};
