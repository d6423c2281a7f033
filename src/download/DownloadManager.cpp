#include "download/DownloadManager.h"

#include "catalogue/NavBooksFetcherQueueWrapper.h"
#include "catalogue/NavChaptersFetcherQueueWrapper.h"
#include "catalogue/NavRecentChaptersFetcherQueueWrapper.h"

DownloadManager &DownloadManager::sharedDownloadManager()
{
    // Never destroyed: workers may still be reporting while the process
    // exits, and they must not find their owner gone.
    static DownloadManager *const shared = std::make_unique<DownloadManager>(Key{}).release();
    return *shared;
}

DownloadManager::DownloadManager(Key)
    : navBooksFetcherQueueWrapper_(std::make_unique<NavBooksFetcherQueueWrapper>()),
      navChaptersFetcherQueueWrapper_(std::make_unique<NavChaptersFetcherQueueWrapper>()),
      navRecentChaptersFetcherQueueWrapper_(std::make_unique<NavRecentChaptersFetcherQueueWrapper>())
{}

DownloadManager::~DownloadManager() = default;

NavBooksFetcherQueueWrapper &DownloadManager::navBooksFetcherQueueWrapper()
{
    return *navBooksFetcherQueueWrapper_;
}

NavChaptersFetcherQueueWrapper &DownloadManager::navChaptersFetcherQueueWrapper()
{
    return *navChaptersFetcherQueueWrapper_;
}

NavRecentChaptersFetcherQueueWrapper &DownloadManager::navRecentChaptersFetcherQueueWrapper()
{
    return *navRecentChaptersFetcherQueueWrapper_;
}
