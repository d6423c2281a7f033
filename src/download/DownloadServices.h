#pragma once

#include <memory>

class AppData;
class Download;
class DownloadsProgressSink;
class MyUserDefaults;

// What the download engine needs of the program around it: the store and
// settings it works on, the downloads badge, the idle-timer switch, the
// network and disk checks, the downloads screen's progress views and the
// saving of a finished download into the library. The defaults suit a
// program without screens: the shared store and settings, no badge, no idle
// timer, nowhere to show progress. Thread contract: main thread only.
class DownloadServices
{
public:
    virtual ~DownloadServices() = default;

    virtual AppData &appData();
    virtual MyUserDefaults &userDefaults();

    // The badge never goes below zero; the implementation sees to that.
    virtual void incrementDownloadsBadgeNumber() {}
    virtual void decrementDownloadsBadgeNumber() {}
    // Keeps the screen awake during a run; nothing to do on a desktop.
    virtual void setIdleTimerDisabled(bool disabled) {}

    // True unless the internet monitor reports the network as not
    // reachable, and always while a site is configured on a loopback host.
    virtual bool checkReachability();
    // More than the given megabytes are free; otherwise tells the user.
    virtual bool diskSpaceOk(int megabytes);

    // The downloads screen's bar and labels; null when nothing shows them.
    virtual std::shared_ptr<DownloadsProgressSink> progressSink() { return nullptr; }

    // Whether a complete download is saved into the library as soon as its
    // run drains: the setting "autoSaveToLibrary".
    virtual bool autoSaveToLibrary();

    // Moves a complete download into the library with the shared context;
    // the caller saves the store afterwards.
    virtual void saveDownloadToLibrary(const std::shared_ptr<Download> &download);

    // Whether any configured site address names a loopback host, so that
    // local mirrors and test sites work without a network.
    static bool siteIsOnLoopback();
};
