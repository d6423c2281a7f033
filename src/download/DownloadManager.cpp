#include "download/DownloadManager.h"

#include "catalogue/NavBooksFetcherQueueWrapper.h"
#include "catalogue/NavChaptersFetcherQueueWrapper.h"
#include "catalogue/NavRecentChaptersFetcherQueueWrapper.h"
#include "download/DeducerFetcher.h"
#include "download/DeducerQueueWrapper.h"
#include "download/DownloadServices.h"
#include "download/FetcherQueueWrapper.h"

DownloadManager &DownloadManager::sharedDownloadManager()
{
    // Never destroyed: workers may still be reporting while the process
    // exits, and they must not find their owner gone.
    static DownloadManager *const shared =
        std::make_unique<DownloadManager>(std::make_shared<DownloadServices>()).release();
    return *shared;
}

DownloadManager::DownloadManager(std::shared_ptr<DownloadServices> services)
    : services_(services ? std::move(services) : std::make_shared<DownloadServices>()),
      navBooksFetcherQueueWrapper_(std::make_unique<NavBooksFetcherQueueWrapper>()),
      navChaptersFetcherQueueWrapper_(std::make_unique<NavChaptersFetcherQueueWrapper>()),
      navRecentChaptersFetcherQueueWrapper_(std::make_unique<NavRecentChaptersFetcherQueueWrapper>())
{}

DownloadManager::~DownloadManager()
{
    // The deductions and requests end before the objects they report to.
    deducerQueueWrapper_.reset();
    fetcherQueueWrapper_.reset();
    deducerFetcher_.reset();
}

void DownloadManager::setServices(std::shared_ptr<DownloadServices> services)
{
    if (services)
        services_ = std::move(services);
}

DeducerFetcher &DownloadManager::deducerFetcher()
{
    if (!deducerFetcher_)
        deducerFetcher_ = std::make_unique<DeducerFetcher>(*this);
    return *deducerFetcher_;
}

DeducerQueueWrapper &DownloadManager::deducerQueueWrapper()
{
    if (!deducerQueueWrapper_)
        deducerQueueWrapper_ = std::make_unique<DeducerQueueWrapper>(*this);
    return *deducerQueueWrapper_;
}

FetcherQueueWrapper &DownloadManager::fetcherQueueWrapper()
{
    if (!fetcherQueueWrapper_)
        fetcherQueueWrapper_ = std::make_unique<FetcherQueueWrapper>(*this);
    return *fetcherQueueWrapper_;
}

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
