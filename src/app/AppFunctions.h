#pragma once

// Questions any screen may ask of the application.

// True unless the internet monitor reports the network as not reachable;
// always true while a site is configured on a loopback host.
bool CheckReachability();
// Every screen turns with the window.
bool AllowedOrientations(int orientation);
// Orientations 1 and 2 (the two portrait ones).
bool IsPortraitOrientation(int orientation);
// Swipe gestures exist on this platform.
bool HasSwipe();
