#include "download/DownloadManager.h"

#include "sites/NavBooksFetcherQueueWrapper.h"

DownloadManager &DownloadManager::sharedDownloadManager()
{
    // Never destroyed: workers may still be reporting while the process
    // exits, and they must not find their owner gone.
    static DownloadManager *const shared = std::make_unique<DownloadManager>(Key{}).release();
    return *shared;
}

DownloadManager::DownloadManager(Key)
    : navBooksFetcherQueueWrapper_(std::make_unique<NavBooksFetcherQueueWrapper>())
{}

DownloadManager::~DownloadManager() = default;

NavBooksFetcherQueueWrapper &DownloadManager::navBooksFetcherQueueWrapper()
{
    return *navBooksFetcherQueueWrapper_;
}
