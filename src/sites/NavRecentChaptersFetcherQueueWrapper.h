#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "foundation/OperationQueue.h"
#include "sites/NavBaseChaptersFetcher.h"
#include "sites/NavBook.h"

// Runs one latest-releases fetch at a time for the latest-release screen
// and keeps its four parallel lists. Thread contract: created, used and
// destroyed on the main thread; reports are handed from the fetch's thread
// to the main thread (the fetch waits), where the lists are taken and
// "NavRecentChaptersFetcherDidFinish" or "NavRecentChaptersFetcherDidFail"
// is posted. Destroy it only when no fetch is reporting.
class NavRecentChaptersFetcherQueueWrapper : public NavBaseChaptersFetcherDelegate
{
public:
    NavRecentChaptersFetcherQueueWrapper();
    ~NavRecentChaptersFetcherQueueWrapper() override;
    NavRecentChaptersFetcherQueueWrapper(const NavRecentChaptersFetcherQueueWrapper &) = delete;
    NavRecentChaptersFetcherQueueWrapper &operator=(const NavRecentChaptersFetcherQueueWrapper &) = delete;

    static QString didFinishNotification(); // "NavRecentChaptersFetcherDidFinish"
    static QString didFailNotification();   // "NavRecentChaptersFetcherDidFail"

    // Cancels what the queue still holds, clears the lists and starts the
    // fetch; alerts "Cannot fetch chapters?" for an address of no known site.
    void goWithURLString(const QString &urlString);
    void cancel();

    const QList<NavBook> &books() const { return books_; }
    const QList<NavChapter> &chapters() const { return chapters_; }
    const QStringList &dates() const { return dates_; }
    const QStringList &labels() const { return labels_; }

    OperationQueue &queue() { return queue_; }

    void navBaseChaptersFetcherFinished(NavBaseChaptersFetcher *fetcher) override;
    void navBaseChaptersFetcherFailed(NavBaseChaptersFetcher *fetcher) override;

private:
    void clearResults();

    OperationQueue queue_;
    QList<NavBook> books_;
    QList<NavChapter> chapters_;
    QStringList dates_;
    QStringList labels_;
};
