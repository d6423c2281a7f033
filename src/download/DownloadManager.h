#pragma once

#include <memory>

class NavBooksFetcherQueueWrapper;
class NavChaptersFetcherQueueWrapper;
class NavRecentChaptersFetcherQueueWrapper;

// Owner of the engine's long-lived workers, created on first use and kept
// until the process ends. Thread contract: sharedDownloadManager() may be
// called from any thread; the workers it hands out state their own.
class DownloadManager
{
public:
    static DownloadManager &sharedDownloadManager();

    DownloadManager(const DownloadManager &) = delete;
    DownloadManager &operator=(const DownloadManager &) = delete;

    // The Internet tab's book-list fetches.
    NavBooksFetcherQueueWrapper &navBooksFetcherQueueWrapper();
    // The chapter screen's book-page fetches and the latest-release fetches.
    NavChaptersFetcherQueueWrapper &navChaptersFetcherQueueWrapper();
    NavRecentChaptersFetcherQueueWrapper &navRecentChaptersFetcherQueueWrapper();

private:
    // Only sharedDownloadManager() can make one.
    struct Key {
        explicit Key() = default;
    };

public:
    explicit DownloadManager(Key);
    ~DownloadManager();

private:
    std::unique_ptr<NavBooksFetcherQueueWrapper> navBooksFetcherQueueWrapper_;
    std::unique_ptr<NavChaptersFetcherQueueWrapper> navChaptersFetcherQueueWrapper_;
    std::unique_ptr<NavRecentChaptersFetcherQueueWrapper> navRecentChaptersFetcherQueueWrapper_;
};
