#include "app/AppFunctions.h"

#include "app/AppWindow.h"
#include "app/MangaAppDelegate.h"
#include "download/DownloadServices.h"
#include "foundation/Device.h"
#include "web/AppleReachability.h"

bool CheckReachability()
{
    // A local mirror or test site needs no network.
    if (DownloadServices::siteIsOnLoopback())
        return true;
    const MangaAppDelegate *delegate = GetMangaAppDelegate();
    if (delegate && delegate->internetReachability())
        return delegate->internetReachability()->currentReachabilityStatus() != NotReachable;
    // Before start-up (or in a tool without the application) ask afresh.
    return AppleReachability::reachabilityForInternetConnection()->currentReachabilityStatus() !=
           NotReachable;
}

bool AllowedOrientations(int orientation)
{
    const MangaAppDelegate *delegate = GetMangaAppDelegate();
    return !delegate || !delegate->window() || delegate->window()->mayRotateTo(orientation);
}

bool IsPortraitOrientation(int orientation)
{
    return Device::isPortrait(orientation);
}

bool HasSwipe()
{
    return Device::hasSwipe();
}
