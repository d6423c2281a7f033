#include "download/DeducerFetcher.h"

#include <algorithm>

#include <QDateTime>

#include "deduction/Deducer.h"
#include "download/DeducerErrorString.h"
#include "download/DeducerQueueWrapper.h"
#include "download/DownloadManager.h"
#include "download/DownloadServices.h"
#include "download/DownloadsProgressSink.h"
#include "download/FetcherQueueWrapper.h"
#include "files/UrlStringJoins.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Device.h"
#include "foundation/Localized.h"
#include "foundation/MainThread.h"
#include "foundation/NotificationCenter.h"
#include "sites/NavBook.h"
#include "sites/NavChapter.h"
#include "store/AppData.h"
#include "store/DownloadsRequest.h"

namespace {

constexpr int kDiskSpaceForDeductionMB = 250;

void post(const QString &name)
{
    NotificationCenter::defaultCenter().post(name);
}

} // namespace

DeducerFetcher::DeducerFetcher(DownloadManager &manager) : manager_(manager) {}

DeducerFetcher::~DeducerFetcher() = default;

QString DeducerFetcher::deducerDidStartNotification()
{
    return QStringLiteral("DeducerDidStartNotification");
}

QString DeducerFetcher::deducerDidFinishNotification()
{
    return QStringLiteral("DeducerDidFinishNotification");
}

QString DeducerFetcher::deducerDidFailNotification()
{
    return QStringLiteral("DeducerDidFailNotification");
}

std::shared_ptr<Download> DeducerFetcher::goWithChapter(const NavChapter *chapter, const NavBook *book,
                                                        const QString &rootTitle,
                                                        const QString &rootURLString, bool doSave)
{
    DownloadServices &services = manager_.services();
    if (!services.checkReachability()) {
        CannotConnectMessage();
        return nullptr;
    }
    if (!book || book->title().isEmpty()) {
        AlertWithTitle(localized("Error.  Unknown Manga"));
        return nullptr;
    }
    if (!chapter || chapter->title().isEmpty()) {
        AlertWithTitle(localized("Error.  Unknown Chapter"));
        return nullptr;
    }
    const QString firstPageURL = urlStringByAppendingPathComponent(rootURLString, chapter->urlString());
    Decimal number = Decimal::zero();
    if (chapter->number() && !chapter->number()->isNaN())
        number = *chapter->number();
    if (isAlreadyDownloading() && waitQueueIsFull()) {
        AlertWithTitleAndMessage(localized("Queue is full"), QString());
        return nullptr;
    }

    AppData &appData = services.appData();
    auto download = appData.createDownloadWithRootTitle(
        rootTitle, book->title(), chapter->title(), firstPageURL, number, QDateTime::currentDateTime(), 0);
    download->setBook(appData.downloadsBook());
    if (!isAlreadyDownloading()) {
        // A launch refused for lack of space leaves the record Incomplete.
        launchDeducerWithDownload(download, true);
        return download;
    }
    download->setIsQueued(true);
    download->setIsDownloading(false);
    pushToWaitQueue(download);
    if (doSave)
        appData.save();
    // Downloads can wait with nothing running (rebuilt at start-up, left by
    // a refused launch or by advancing while offline); the oldest goes first.
    if (!isBusy())
        downloadNextInWaitQueue();
    else if (!isDeducing_ && manager_.fetcherQueueWrapper().isCancelled())
        advanceAfterCancelledRun_ = true; // only a removed run drains: its end starts this one
    return download;
}

bool DeducerFetcher::launchDeducerWithDownload(const std::shared_ptr<Download> &download, bool fromGo)
{
    return launchDeducer(download, fromGo, nullptr);
}

bool DeducerFetcher::launchDeducer(const std::shared_ptr<Download> &download, bool fromGo, QString *reason)
{
    DownloadServices &services = manager_.services();
    if (!download)
        return false;
    interrupted_ = false;
    if (!services.diskSpaceOk(kDiskSpaceForDeductionMB)) {
        if (reason)
            *reason = localized("Download cancelled");
        return false;
    }
    isDeducing_ = true;
    currentDownload_ = download;
    services.incrementDownloadsBadgeNumber();
    download->setIsQueued(false);
    download->setIsDownloading(true);
    SetDeducerErrorString(*download, QString());
    services.appData().save();

    if (manager_.deducerQueueWrapper().goWithSelectPages(
            std::nullopt, std::nullopt, QString(), download->firstPageURL(), QStringLiteral("web page title"),
            services.progressSink(), this)) {
        if (!fromGo)
            post(deducerDidStartNotification());
        return true;
    }
    isDeducing_ = false;
    download->setIsDownloading(false);
    if (reason)
        *reason = localized("Cannot deduce website?");
    services.decrementDownloadsBadgeNumber();
    services.appData().save();
    return false;
}

void DeducerFetcher::deducerFinished(Deducer &deducer)
{
    performOnMainAndWait([&] { deducerFinishedMain(deducer); });
}

void DeducerFetcher::deducerFailed(Deducer &deducer)
{
    performOnMainAndWait([&] { deducerFailedMain(deducer); });
}

void DeducerFetcher::deducerFinishedMain(Deducer &deducer)
{
    // Cancelled after it had decided to report: whoever cancelled it has
    // already settled the download, the badge and the queue, and may have
    // started another deduction since.
    if (deducer.isCancelled())
        return;
    post(deducerDidFinishNotification());
    launchFetcherWithDeducer(deducer);
}

void DeducerFetcher::launchFetcherWithDeducer(Deducer &deducer)
{
    if (deducer.isCancelled()) {
        isDeducing_ = false;
        if (currentDownload_)
            currentDownload_->setIsDownloading(false);
        return;
    }
    isDeducing_ = false;
    const auto download = std::move(currentDownload_);
    currentDownload_.reset();
    if (!download)
        return;
    DownloadServices &services = manager_.services();
    download->setExpectedNumberOfPages(int(deducer.urlStrings().size()));
    if (!manager_.fetcherQueueWrapper().goWithURLs(deducer.urlStrings(), download, services.progressSink())) {
        // Another chapter's requests are still being cancelled. Left flagged,
        // the download would block every retry until the next start, so it
        // becomes Incomplete (and retryable) now, and the queue moves on once
        // that cancelled run has drained.
        download->setIsDownloading(false);
        services.decrementDownloadsBadgeNumber();
        services.appData().save();
        advanceAfterCancelledRun_ = true;
    }
}

void DeducerFetcher::fetcherDidDrainCancelledRun()
{
    const bool waiting = advanceAfterCancelledRun_;
    advanceAfterCancelledRun_ = false;
    if (waiting && !interrupted_ && !isBusy())
        downloadNextInWaitQueue();
}

bool DeducerFetcher::isBusy() const
{
    // A run whose last request has ended is still active until its end is
    // handled, and that end starts the next waiting download itself.
    const FetcherQueueWrapper &fetcher = manager_.fetcherQueueWrapper();
    return isDeducing_ || fetcher.isDownloading() || fetcher.isRunActive();
}

std::shared_ptr<Download> DeducerFetcher::interruptRunningDownload()
{
    DownloadServices &services = manager_.services();
    FetcherQueueWrapper &fetcher = manager_.fetcherQueueWrapper();
    std::shared_ptr<Download> running;
    interrupted_ = true;
    if (isDeducing_) {
        running = currentDownload_;
        manager_.deducerQueueWrapper().cancel();
        currentDownload_.reset();
    } else if (fetcher.isRunActive()) {
        running = fetcher.download();
        fetcher.cancel();
    }
    services.setIdleTimerDisabled(false);
    // Left flagged as active, as the end of the program leaves it: the next
    // start clears the flag and offers it for resuming.
    if (running) {
        running->setIsDownloading(true);
        running->setIsQueued(false);
        services.appData().save();
    }
    return running;
}

void DeducerFetcher::deducerFailedMain(Deducer &deducer)
{
    if (deducer.isCancelled())
        return;
    DownloadServices &services = manager_.services();
    isDeducing_ = false;
    if (currentDownload_) {
        currentDownload_->setIsDownloading(false);
        // No error (a probe that got no answer at all) leaves the download
        // Incomplete rather than failed.
        SetDeducerErrorString(*currentDownload_,
                              deducer.error() ? deducer.error()->localizedDescription() : QString());
    }
    services.decrementDownloadsBadgeNumber();
    // The state lives in the record: saved so that it outlasts the program.
    services.appData().save();
    post(deducerDidFailNotification());
    downloadNextInWaitQueue();
}

void DeducerFetcher::downloadNextInWaitQueue()
{
    if (!manager_.services().checkReachability()) {
        CannotConnectMessage();
        return;
    }
    while (!waitQueueIsEmpty()) {
        const auto download = popFromWaitQueue();
        manager_.services().decrementDownloadsBadgeNumber();
        if (startFromWaitQueue(download))
            return;
    }
}

bool DeducerFetcher::startFromWaitQueue(const std::shared_ptr<Download> &download)
{
    DownloadServices &services = manager_.services();
    download->setIsQueued(false);
    // Deducing again would give it a second set of pages over the same
    // files: a download that has pages only fetches the missing ones.
    if (!download->pages().empty())
        return retryWithDownload(download, services.progressSink());
    QString reason;
    if (launchDeducer(download, false, &reason))
        return true;
    // It leaves the queue for good, saying why, so the next one can start.
    SetDeducerErrorString(*download, reason);
    services.appData().save();
    post(deducerDidFailNotification());
    return false;
}

bool DeducerFetcher::retryWithDownload(const std::shared_ptr<Download> &download,
                                       const std::shared_ptr<DownloadsProgressSink> &progress)
{
    if (!download)
        return false;
    // A download asked for again stops waiting for its turn.
    if (download->isQueued()) {
        removeDownloadFromWaitQueue(download);
        download->setIsQueued(false);
    }
    if (download->pages().empty())
        return launchDeducerWithDownload(download);
    interrupted_ = false;
    DownloadServices &services = manager_.services();
    download->setIsDownloading(true);
    services.incrementDownloadsBadgeNumber();
    const bool started = manager_.fetcherQueueWrapper().retryWithDownload(download, progress);
    if (!started) {
        download->setIsDownloading(false);
        services.decrementDownloadsBadgeNumber();
    }
    services.appData().save();
    return started;
}

void DeducerFetcher::removeDownload(const std::shared_ptr<Download> &download)
{
    if (!download)
        return;
    DownloadServices &services = manager_.services();
    FetcherQueueWrapper &fetcher = manager_.fetcherQueueWrapper();
    bool cancelledDeduction = false;
    bool cancelledFetch = false;
    if (download->isDownloading()) {
        if (isDeducing_ && currentDownload_ == download) {
            manager_.deducerQueueWrapper().cancel();
            currentDownload_.reset();
            services.setIdleTimerDisabled(false);
            cancelledDeduction = true;
        } else if (fetcher.isDownloading() && fetcher.download() == download) {
            fetcher.cancel();
            if (auto sink = services.progressSink())
                sink->setProgressLabel(QStringLiteral("0/0"));
            services.setIdleTimerDisabled(false);
            cancelledFetch = true;
        }
    }
    if (download->isQueued())
        removeDownloadFromWaitQueue(download);

    // The record goes first: a crash or a failed save after this leaves at
    // worst a folder nothing owns, never a record whose pages are gone.
    AppData &appData = services.appData();
    const QString folder = appData.chapterDirectory(*download);
    appData.managedObjectContext()->deleteObject(download);
    if (const auto error = appData.save(); !error)
        appData.removeDirectory(folder);
    if (fetcher.download() == download)
        fetcher.setDownload(nullptr);
    if (cancelledDeduction || cancelledFetch)
        downloadNextInWaitQueue();
}

void DeducerFetcher::pushToWaitQueue(const std::shared_ptr<Download> &download)
{
    waitQueue_.push_back(download);
    manager_.services().incrementDownloadsBadgeNumber();
}

void DeducerFetcher::addToFrontOfWaitQueue(const std::shared_ptr<Download> &download)
{
    waitQueue_.push_front(download);
    manager_.services().incrementDownloadsBadgeNumber();
}

void DeducerFetcher::removeDownloadFromWaitQueue(const std::shared_ptr<Download> &download)
{
    const auto it = std::find(waitQueue_.begin(), waitQueue_.end(), download);
    if (it == waitQueue_.end())
        return;
    waitQueue_.erase(it);
    manager_.services().decrementDownloadsBadgeNumber();
}

std::shared_ptr<Download> DeducerFetcher::popFromWaitQueue()
{
    if (waitQueue_.empty())
        return nullptr;
    auto download = std::move(waitQueue_.front());
    waitQueue_.pop_front();
    return download;
}

std::shared_ptr<Download> DeducerFetcher::frontOfWaitQueue() const
{
    return waitQueue_.empty() ? nullptr : waitQueue_.front();
}

bool DeducerFetcher::waitQueueIsFull() const
{
    return int(waitQueue_.size()) >= (Device::isPad() ? kPadWaitQueueCapacity : kPhoneWaitQueueCapacity);
}

bool DeducerFetcher::isAlreadyDownloading() const
{
    return isDeducing_ || manager_.fetcherQueueWrapper().isDownloading() || !waitQueueIsEmpty();
}

void DeducerFetcher::reconstructWaitQueue()
{
    std::optional<Error> error;
    const auto downloads =
        manager_.services().appData().managedObjectContext()->fetch<Download>(DownloadsRequest(), &error);
    if (error) {
        AlertWithTitleAndError(localized("Fatal! Please exit the application"), *error);
        return;
    }
    // Newest first, each put in front: the oldest ends up first.
    for (const auto &download : downloads) {
        if (download->isQueued())
            addToFrontOfWaitQueue(download);
    }
}

std::shared_ptr<Download> DeducerFetcher::unsetIsDownloading()
{
    AppData &appData = manager_.services().appData();
    std::shared_ptr<Download> newest;
    for (const auto &download : appData.managedObjectContext()->fetch<Download>(DownloadsRequest())) {
        if (!download->isDownloading())
            continue;
        download->setIsDownloading(false);
        if (!newest)
            newest = download;
    }
    appData.save();
    return newest;
}
