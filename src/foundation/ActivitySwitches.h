#pragma once

#include <atomic>
#include <functional>

// The process-wide network-activity indicator and idle-timer switches.
// Several workers may turn them on at once, so they count: the indicator
// shows while any worker has it on, and the idle timer stays off while any
// worker holds it. Thread contract: any thread; the observer runs on the
// thread that made the change.
class ActivitySwitches
{
public:
    static void networkActivityOn();
    static void networkActivityOff();
    static bool isNetworkActivityVisible();

    // Disabling the idle timer keeps the screen awake during long downloads.
    static void idleTimerOff();
    static void idleTimerOn();
    static bool isIdleTimerDisabled();

    // The GUI installs this to reflect changes (for instance in the status bar).
    static void setObserver(std::function<void()> observer);

private:
    static void notify();
};
