#pragma once

#include <memory>

class DeducerFetcher;
class DeducerQueueWrapper;
class DownloadServices;
class FetcherQueueWrapper;
class NavBooksFetcherQueueWrapper;
class NavChaptersFetcherQueueWrapper;
class NavRecentChaptersFetcherQueueWrapper;

// Owner of the engine's long-lived workers, each created on first use and
// kept until the process ends. Thread contract: sharedDownloadManager() may
// be called from any thread; the download workers and the services belong to
// the main thread; the catalogue workers state their own.
class DownloadManager
{
public:
    static DownloadManager &sharedDownloadManager();

    // A separate engine over the given services, for tests and tools that
    // need a fresh start; it must outlive the work it starts.
    explicit DownloadManager(std::shared_ptr<DownloadServices> services);
    ~DownloadManager();
    DownloadManager(const DownloadManager &) = delete;
    DownloadManager &operator=(const DownloadManager &) = delete;

    // What the program around the engine provides; set once at start-up,
    // before the first download.
    DownloadServices &services() const { return *services_; }
    void setServices(std::shared_ptr<DownloadServices> services);

    DeducerFetcher &deducerFetcher();
    DeducerQueueWrapper &deducerQueueWrapper();
    FetcherQueueWrapper &fetcherQueueWrapper();

    // The Internet tab's book-list fetches.
    NavBooksFetcherQueueWrapper &navBooksFetcherQueueWrapper();
    // The chapter screen's book-page fetches and the latest-release fetches.
    NavChaptersFetcherQueueWrapper &navChaptersFetcherQueueWrapper();
    NavRecentChaptersFetcherQueueWrapper &navRecentChaptersFetcherQueueWrapper();

private:
    std::shared_ptr<DownloadServices> services_;
    std::unique_ptr<NavBooksFetcherQueueWrapper> navBooksFetcherQueueWrapper_;
    std::unique_ptr<NavChaptersFetcherQueueWrapper> navChaptersFetcherQueueWrapper_;
    std::unique_ptr<NavRecentChaptersFetcherQueueWrapper> navRecentChaptersFetcherQueueWrapper_;
    // Destroyed first (last declared): their workers may still reach the rest.
    std::unique_ptr<DeducerFetcher> deducerFetcher_;
    std::unique_ptr<FetcherQueueWrapper> fetcherQueueWrapper_;
    std::unique_ptr<DeducerQueueWrapper> deducerQueueWrapper_;
};
