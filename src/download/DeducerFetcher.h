#pragma once

#include <deque>
#include <memory>

#include <QString>

#include "deduction/DeducerDelegate.h"

class Deducer;
class Download;
class DownloadManager;
class DownloadsProgressSink;
class NavBook;
class NavChapter;

// Turns a request for a chapter into a Download record and drives it, one
// chapter at a time, through page deduction and page fetching; later
// requests wait in the wait queue, whose persistent form is the records'
// isQueued flag. Also retries and removes downloads.
//
// Downloads badge: every download counted once is given back once. +1 when
// a download joins the wait queue, when a deduction is launched and when a
// fetch retry starts; -1 when a download leaves the wait queue, when a
// deduction fails or is cancelled, when a launch fails and when a fetch run
// ends (drained or cancelled).
//
// Thread contract: main thread only. Deduction reports arrive on the
// deduction's thread and are moved to the main thread, waiting there.
class DeducerFetcher : public DeducerDelegate
{
public:
    explicit DeducerFetcher(DownloadManager &manager);
    ~DeducerFetcher() override;
    DeducerFetcher(const DeducerFetcher &) = delete;
    DeducerFetcher &operator=(const DeducerFetcher &) = delete;

    // Requests one chapter: the new record, or null after an alert. With
    // doSave false (bulk requests) the caller saves the store at the end.
    std::shared_ptr<Download> goWithChapter(const NavChapter *chapter, const NavBook *book,
                                            const QString &rootTitle, const QString &rootURLString,
                                            bool doSave = true);
    bool launchDeducerWithDownload(const std::shared_ptr<Download> &download, bool fromGo = false);
    bool retryWithDownload(const std::shared_ptr<Download> &download,
                           const std::shared_ptr<DownloadsProgressSink> &progress);
    // Cancels whatever the download is part of, deletes it with its files
    // and starts the next waiting download when an active one was removed.
    void removeDownload(const std::shared_ptr<Download> &download);

    void downloadNextInWaitQueue();
    void pushToWaitQueue(const std::shared_ptr<Download> &download);
    void addToFrontOfWaitQueue(const std::shared_ptr<Download> &download);
    void removeDownloadFromWaitQueue(const std::shared_ptr<Download> &download);
    std::shared_ptr<Download> popFromWaitQueue();
    std::shared_ptr<Download> frontOfWaitQueue() const;
    bool waitQueueIsFull() const;
    bool waitQueueIsEmpty() const { return waitQueue_.empty(); }
    int waitQueueSize() const { return int(waitQueue_.size()); }
    const std::deque<std::shared_ptr<Download>> &waitQueue() const { return waitQueue_; }

    bool isAlreadyDownloading() const;
    // Something is being deduced or fetched (a cancelled fetch still
    // draining, and a run whose end is on its way, count); the wait queue
    // alone does not.
    bool isBusy() const;
    bool isDeducing() const { return isDeducing_; }
    void setIsDeducing(bool deducing) { isDeducing_ = deducing; }
    const std::shared_ptr<Download> &currentDownload() const { return currentDownload_; }

    // Start-up: the downloads stored as queued wait again, oldest first.
    void reconstructWaitQueue();
    // Start-up, after that: a download still flagged as active was cut off
    // by the end of the last run. Clears every such flag, saves, and returns
    // the newest of them (the one to offer for resuming), or null.
    std::shared_ptr<Download> unsetIsDownloading();

    void deducerFinished(Deducer &deducer) override;
    void deducerFailed(Deducer &deducer) override;
    void launchFetcherWithDeducer(Deducer &deducer);

    // At the end of a program that leaves while a download runs (yomora-cli
    // after its own download): stops the deduction or fetch without a word,
    // leaving the download as a quit leaves it, flagged active, to be
    // offered for resuming at the next start. The queue does not advance.
    // Returns the download interrupted, or null.
    std::shared_ptr<Download> interruptRunningDownload();

    // The fetcher's cancelled run has drained: a deduction that finished
    // while it drained was turned away, so the queue moves on now.
    void fetcherDidDrainCancelledRun();

    static constexpr int kPhoneWaitQueueCapacity = 19;
    static constexpr int kPadWaitQueueCapacity = 39;

    static QString deducerDidStartNotification();
    static QString deducerDidFinishNotification();
    static QString deducerDidFailNotification();

private:
    // With `reason`, a refused launch says why there.
    bool launchDeducer(const std::shared_ptr<Download> &download, bool fromGo, QString *reason);
    // False when the download could not start; it has then left the queue
    // with its reason stored, as a failed deduction's text is.
    bool startFromWaitQueue(const std::shared_ptr<Download> &download);
    void deducerFinishedMain(Deducer &deducer);
    void deducerFailedMain(Deducer &deducer);

    DownloadManager &manager_;
    std::shared_ptr<Download> currentDownload_;
    std::deque<std::shared_ptr<Download>> waitQueue_;
    bool isDeducing_ = false;
    bool advanceAfterCancelledRun_ = false;
    bool interrupted_ = false; // until the next launch: nothing advances
};
