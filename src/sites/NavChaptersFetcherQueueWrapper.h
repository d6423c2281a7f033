#pragma once

#include <optional>

#include <QList>
#include <QString>

#include "foundation/OperationQueue.h"
#include "sites/NavBaseChaptersFetcher.h"

// Runs one book-page fetch at a time for the chapter screen and keeps its
// result. Thread contract: created, used and destroyed on the main thread;
// the fetchers' reports arrive on their queue thread and are handed to the
// main thread (the fetch waits), where the result is taken and
// "NavChaptersFetcherDidFinish" or "NavChaptersFetcherDidFail" is posted.
// Destroy it only when no fetch is reporting (the download manager keeps
// it for the whole run).
class NavChaptersFetcherQueueWrapper : public NavBaseChaptersFetcherDelegate
{
public:
    NavChaptersFetcherQueueWrapper();
    ~NavChaptersFetcherQueueWrapper() override;
    NavChaptersFetcherQueueWrapper(const NavChaptersFetcherQueueWrapper &) = delete;
    NavChaptersFetcherQueueWrapper &operator=(const NavChaptersFetcherQueueWrapper &) = delete;

    static QString didFinishNotification(); // "NavChaptersFetcherDidFinish"
    static QString didFailNotification();   // "NavChaptersFetcherDidFail"

    // Cancels what the queue still holds, clears the last result and starts
    // fetching the book page; alerts "Cannot fetch chapters?" for an address
    // of no known site.
    void goWithURLString(const QString &urlString);
    void cancel();

    const QList<NavChapter> &chapters() const { return chapters_; }
    // Empty while a fetch runs and after a failure.
    const std::optional<NavBookInfo> &navBookInfo() const { return navBookInfo_; }
    const QString &nextPage() const { return nextPage_; }

    OperationQueue &queue() { return queue_; }

    void navBaseChaptersFetcherFinished(NavBaseChaptersFetcher *fetcher) override;
    void navBaseChaptersFetcherFailed(NavBaseChaptersFetcher *fetcher) override;

private:
    void clearResults();

    OperationQueue queue_;
    QList<NavChapter> chapters_;
    std::optional<NavBookInfo> navBookInfo_;
    QString nextPage_;
};
