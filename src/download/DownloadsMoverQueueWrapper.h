#pragma once

#include <memory>
#include <vector>

#include <QString>

#include "foundation/OperationQueue.h"
#include "store/ContextDidSaveNotification.h"

class Download;

// Runs the bulk save of downloads in the background and posts
// "MoveDownloadsDidFinish" when it has ended.
// Thread contract: main thread only; the save runs on its own queue of
// width 1, and each of its store saves is merged into the shared context on
// the main thread before it goes on.
class DownloadsMoverQueueWrapper
{
public:
    static inline const QString DidFinishNotification = QStringLiteral("MoveDownloadsDidFinish");

    DownloadsMoverQueueWrapper();
    ~DownloadsMoverQueueWrapper();
    DownloadsMoverQueueWrapper(const DownloadsMoverQueueWrapper &) = delete;
    DownloadsMoverQueueWrapper &operator=(const DownloadsMoverQueueWrapper &) = delete;

    void launchMoveDownloads(const std::vector<std::shared_ptr<Download>> &downloads);
    // Any thread: returns once the save is merged into the shared context.
    void moveDownloadsDidMove(const ContextDidSaveNotification &notification);
    void moveDownloadsDidFinish();
    // Downloads of the last background save that stayed where they were.
    int failedCount() const { return failedCount_; }

    OperationQueue &queue() { return queue_; }

private:
    OperationQueue queue_{1};
    int failedCount_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
