#include "cli/CliDownloadSession.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "cli/CliDownloadServices.h"
#include "cli/CliSupport.h"
#include "download/DeducerErrorString.h"
#include "download/DeducerFetcher.h"
#include "download/DeducerQueueWrapper.h"
#include "download/DownloadsProgressSink.h"
#include "download/DownloadManager.h"
#include "download/FetcherQueueWrapper.h"
#include "files/HomeTreeLock.h"
#include "files/MyDirectories.h"
#include "foundation/NotificationCenter.h"
#include "settings/MyUserDefaults.h"
#include "store/AppData.h"

CliDownloadSession::CliDownloadSession() : services_(std::make_shared<CliDownloadServices>()) {}

CliDownloadSession::~CliDownloadSession()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (homeTreeLock_)
        CliSupport::waitForLibraryQueues();
}

std::optional<QString> CliDownloadSession::takeOptions(QStringList &args)
{
    QString error;
    if (const auto root = CliSupport::takeValue(args, QStringLiteral("--root"), &error))
        root_ = *root;
    if (!error.isEmpty())
        return error;
    return CliSupport::takeSiteOptions(args, nullptr);
}

bool CliDownloadSession::open()
{
    DownloadManager &manager = DownloadManager::sharedDownloadManager();
    manager.setServices(services_);
    homeTreeLock_ = CliSupport::startEngine(root_);
    if (!homeTreeLock_)
        return false;

    // The downloads screen's "%d/%d", which the fetcher leaves to its viewers.
    FetcherQueueWrapper &fetcher = manager.fetcherQueueWrapper();
    NotificationCenter::defaultCenter().addObserver(
        this, FetcherQueueWrapper::requestDidFinishOrFailNotification(), [this, &fetcher] {
            if (auto sink = services_->progressSink())
                sink->setProgressLabel(QStringLiteral("%1/%2")
                                           .arg(fetcher.requestsDownloaded())
                                           .arg(fetcher.requestsToDownload()));
        });
    return true;
}

void CliDownloadSession::runUntilEnded(const std::shared_ptr<Download> &download)
{
    DeducerFetcher &deducerFetcher = DownloadManager::sharedDownloadManager().deducerFetcher();
    // Nothing else starts a queue rebuilt from an earlier run.
    if (download->isQueued() && !deducerFetcher.isDeducing() &&
        !DownloadManager::sharedDownloadManager().fetcherQueueWrapper().isDownloading())
        deducerFetcher.downloadNextInWaitQueue();

    // Ends when the download has, and also when nothing runs any more: a
    // download that waits behind nothing would otherwise be waited for ever.
    CliSupport::runEventLoopUntil(
        [&] { return (!download->isQueued() && !download->isDownloading()) || !engineIsBusy(); });
    services_->finishProgressLine();
}

bool CliDownloadSession::engineIsBusy()
{
    // Each of these is set and cleared on the main thread, and a run stays
    // active until its end has been handled there, so no hand-over between
    // deduction, fetching and the next download looks idle.
    DownloadManager &manager = DownloadManager::sharedDownloadManager();
    const FetcherQueueWrapper &fetcher = manager.fetcherQueueWrapper();
    return manager.deducerFetcher().isDeducing() || fetcher.isRunActive() || fetcher.isDownloading();
}

void CliDownloadSession::interruptWhatRunsNow()
{
    DownloadManager::sharedDownloadManager().deducerFetcher().interruptRunningDownload();
}

int CliDownloadSession::missingPages(const Download &download)
{
    const auto pages = download.pages();
    if (pages.empty())
        return download.expectedNumberOfPages();
    int missing = 0;
    for (const auto &page : pages)
        missing += AppData::didDownloadImage(*page) ? 0 : 1;
    return missing;
}

QString CliDownloadSession::stateText(const Download &download)
{
    if (download.isDownloading())
        return QStringLiteral("Active");
    if (download.isQueued())
        return QStringLiteral("Queued");
    if (!GetDeducerErrorString(download).isNull())
        return QStringLiteral("Deduction failed: ") + GetDeducerErrorString(download);
    if (download.isComplete())
        return QStringLiteral("Complete");
    const int missing = missingPages(download);
    return missing > 0 ? QStringLiteral("Incomplete (%1 pages missing)").arg(missing)
                       : QStringLiteral("Incomplete");
}

int CliDownloadSession::report(const std::shared_ptr<Download> &download)
{
    // Saved into the library: the record has left the store.
    if (download->isDeleted() || !download->managedObjectContext())
        return 0;
    if (download->isComplete())
        return 0;
    if (download->isQueued())
        return CliSupport::fail(QStringLiteral("nothing is running; the download stays queued"));
    return CliSupport::fail(stateText(*download));
}
