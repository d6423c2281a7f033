#pragma once

#include <memory>

#include <QString>

#include "foundation/OperationQueue.h"
#include "sites/NavBaseChaptersFetcher.h"

// What the chapter screen's and the latest-release screen's fetch queues
// have in common: one fetch at a time whose result is kept until the next,
// and the alert and notification that end it.
// Thread contract: created, used and destroyed on the main thread; the
// fetchers' reports arrive on their queue thread and are handed to the main
// thread (the fetch waits), where the result is taken (takeResults) and the
// finish or fail notification is posted. A subclass cancels the queue in its
// own destructor, so that no report reaches it half destroyed; destroy it
// only when no fetch is reporting.
class NavBaseChaptersFetcherQueueWrapper : public NavBaseChaptersFetcherDelegate
{
public:
    NavBaseChaptersFetcherQueueWrapper(const NavBaseChaptersFetcherQueueWrapper &) = delete;
    NavBaseChaptersFetcherQueueWrapper &operator=(const NavBaseChaptersFetcherQueueWrapper &) = delete;

    // Cancels what the queue still holds, clears the last result and starts
    // the fetch; alerts "Cannot fetch chapters?" for an address of no known site.
    void goWithURLString(const QString &urlString);
    void cancel();

    OperationQueue &queue() { return queue_; }

    void navBaseChaptersFetcherFinished(NavBaseChaptersFetcher *fetcher) override;
    void navBaseChaptersFetcherFailed(NavBaseChaptersFetcher *fetcher) override;

protected:
    NavBaseChaptersFetcherQueueWrapper(QString didFinishName, QString didFailName);

    // The site's fetcher for urlString, reporting to this; null for no known site.
    virtual std::shared_ptr<NavBaseChaptersFetcher> fetcherWithURLString(const QString &urlString) = 0;
    // Main thread, with the fetch finished and not cancelled.
    virtual void takeResults(NavBaseChaptersFetcher &fetcher) = 0;
    virtual void clearResults() = 0;

private:
    OperationQueue queue_;
    QString didFinishName_;
    QString didFailName_;
};
