#pragma once

#include "download/DownloadServices.h"

class MangaAppDelegate;

// The download engine's surroundings in the application: the delegate's
// store and settings, the Downloads tab's badge and progress views, and the
// reachability monitor.
// Thread contract: main thread only.
class AppDownloadServices : public DownloadServices
{
public:
    explicit AppDownloadServices(MangaAppDelegate &delegate) : delegate_(delegate) {}

    AppData &appData() override;
    MyUserDefaults &userDefaults() override;
    void incrementDownloadsBadgeNumber() override;
    void decrementDownloadsBadgeNumber() override;
    bool checkReachability() override;
    // The downloads screen's bar and labels, made at start-up.
    std::shared_ptr<DownloadsProgressSink> progressSink() override;

private:
    MangaAppDelegate &delegate_;
};
