#include "app/AppDownloadServices.h"

#include "app/AppFunctions.h"
#include "app/MangaAppDelegate.h"
#include "app/StartUpParts.h"
#include "download/DownloadsProgressSink.h"

AppData &AppDownloadServices::appData()
{
    return delegate_.appData();
}

MyUserDefaults &AppDownloadServices::userDefaults()
{
    return delegate_.userDefaults();
}

void AppDownloadServices::incrementDownloadsBadgeNumber()
{
    delegate_.incrementDownloadsBadgeNumber();
}

void AppDownloadServices::decrementDownloadsBadgeNumber()
{
    delegate_.decrementDownloadsBadgeNumber();
}

bool AppDownloadServices::checkReachability()
{
    return CheckReachability();
}

std::shared_ptr<DownloadsProgressSink> AppDownloadServices::progressSink()
{
    StartUpParts *parts = delegate_.startUpParts();
    return parts ? parts->progressSink() : nullptr;
}
