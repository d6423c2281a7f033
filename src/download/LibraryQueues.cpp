#include "download/LibraryQueues.h"

#include <memory>

#include "download/DownloadsMoverQueueWrapper.h"
#include "download/RemovePathsQueueWrapper.h"
#include "foundation/WaitOverlay.h"

namespace {
std::unique_ptr<RemovePathsQueueWrapper> removePaths;
std::unique_ptr<DownloadsMoverQueueWrapper> downloadsMover;
} // namespace

void LibraryQueues::create()
{
    downloadsMoverQueueWrapper();
    removePathsQueueWrapper()->resumeRemainingPaths();
}

RemovePathsQueueWrapper *LibraryQueues::removePathsQueueWrapper()
{
    if (!removePaths)
        removePaths = std::make_unique<RemovePathsQueueWrapper>();
    return removePaths.get();
}

DownloadsMoverQueueWrapper *LibraryQueues::downloadsMoverQueueWrapper()
{
    if (!downloadsMover)
        downloadsMover = std::make_unique<DownloadsMoverQueueWrapper>();
    return downloadsMover.get();
}

void LibraryQueues::destroy()
{
    removePaths.reset();
    downloadsMover.reset();
}
