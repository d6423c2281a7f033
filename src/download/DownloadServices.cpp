#include "download/DownloadServices.h"

#include <QUrl>

#include "download/DownloadMover.h"
#include "files/FSStats.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "sites/SiteConfig.h"
#include "store/AppData.h"
#include "web/AppleReachability.h"

AppData &DownloadServices::appData()
{
    return AppData::sharedAppData();
}

MyUserDefaults &DownloadServices::userDefaults()
{
    return MyUserDefaults::sharedMyUserDefaults();
}

bool DownloadServices::checkReachability()
{
    if (siteIsOnLoopback())
        return true;
    return AppleReachability::reachabilityForInternetConnection()->currentReachabilityStatus() !=
           NotReachable;
}

bool DownloadServices::diskSpaceOk(int megabytes)
{
    return DiskSpaceOk(megabytes);
}

bool DownloadServices::autoSaveToLibrary()
{
    return userDefaults().boolForKey(SettingsKeys::autoSaveToLibrary);
}

void DownloadServices::saveDownloadToLibrary(const std::shared_ptr<Download> &download)
{
    const QString uuid = download->uuid();
    // Saved here, so that the move's journal entry goes as soon as the store
    // holds the chapter instead of waiting for the next start.
    if (DownloadMover::save(download, *appData().managedObjectContext()) && !appData().save())
        DownloadMover::didSave({uuid});
}

bool DownloadServices::siteIsOnLoopback()
{
    for (const QString &name : SiteConfig::optionNames()) {
        const auto site = SiteConfig::siteForOptionName(name);
        if (!site)
            continue;
        const QString host = QUrl(SiteConfig::baseURL(*site)).host().toLower();
        if (host == u"localhost" || host.endsWith(u".localhost") || host.startsWith(u"127.") ||
            host == u"::1")
            return true;
    }
    return false;
}
