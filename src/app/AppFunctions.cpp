#include "app/AppFunctions.h"

#include "foundation/Device.h"

bool CheckReachability()
{
    // The reachability monitors arrive with the HTTP layer; until then the
    // network counts as reachable.
    return true;
}

bool AllowedOrientations(int)
{
    return true;
}

bool IsPortraitOrientation(int orientation)
{
    return Device::isPortrait(orientation);
}

bool HasSwipe()
{
    return Device::hasSwipe();
}
