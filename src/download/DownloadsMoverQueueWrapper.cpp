#include "download/DownloadsMoverQueueWrapper.h"

#include "download/DownloadsMoverOperation.h"
#include "foundation/NotificationCenter.h"
#include "store/AppData.h"

DownloadsMoverQueueWrapper::DownloadsMoverQueueWrapper() = default;

DownloadsMoverQueueWrapper::~DownloadsMoverQueueWrapper()
{
    *alive_ = false;
    queue_.cancelAllOperations();
    queue_.waitUntilAllOperationsAreFinished();
}

void DownloadsMoverQueueWrapper::launchMoveDownloads(const std::vector<std::shared_ptr<Download>> &downloads)
{
    QStringList uuids;
    for (const auto &download : downloads)
        uuids << download->uuid();
    std::weak_ptr<bool> alive = alive_;
    queue_.setMaxConcurrentOperationCount(1);
    queue_.addOperation(std::make_shared<DownloadsMoverOperation>(
        uuids, [this](const ContextDidSaveNotification &notification) { moveDownloadsDidMove(notification); },
        [this, alive](int failed) {
            if (!alive.lock())
                return;
            failedCount_ = failed;
            moveDownloadsDidFinish();
        }));
}

void DownloadsMoverQueueWrapper::moveDownloadsDidMove(const ContextDidSaveNotification &notification)
{
    AppData::sharedAppData().mergeChangesIntoMainContext(notification);
}

void DownloadsMoverQueueWrapper::moveDownloadsDidFinish()
{
    NotificationCenter::defaultCenter().post(DidFinishNotification);
}
