#pragma once

// Questions any screen may ask of the application.

// True unless the internet monitor reports the network as not reachable;
// always true while a site is configured on a loopback host.
bool CheckReachability();
// Whether the window may turn to `orientation` now: the screen on top may
// refuse (the viewer while locked).
bool AllowedOrientations(int orientation);
// Orientations 1 and 2 (the two portrait ones).
bool IsPortraitOrientation(int orientation);
// Swipe gestures exist on this platform.
bool HasSwipe();
