#include "foundation/ActivitySwitches.h"

#include <mutex>

namespace {
std::atomic<int> networkCount{0};
std::atomic<int> idleOffCount{0};
std::mutex observerMutex;
std::function<void()> observerFn;

void decrementClamped(std::atomic<int> &counter)
{
    // Unbalanced "off" calls must not drive the count below zero.
    int value = counter.load();
    while (value > 0 && !counter.compare_exchange_weak(value, value - 1)) {
    }
}
} // namespace

void ActivitySwitches::networkActivityOn()
{
    ++networkCount;
    notify();
}

void ActivitySwitches::networkActivityOff()
{
    decrementClamped(networkCount);
    notify();
}

bool ActivitySwitches::isNetworkActivityVisible()
{
    return networkCount.load() > 0;
}

void ActivitySwitches::idleTimerOff()
{
    ++idleOffCount;
    notify();
}

void ActivitySwitches::idleTimerOn()
{
    decrementClamped(idleOffCount);
    notify();
}

bool ActivitySwitches::isIdleTimerDisabled()
{
    return idleOffCount.load() > 0;
}

void ActivitySwitches::setObserver(std::function<void()> observer)
{
    std::lock_guard lock(observerMutex);
    observerFn = std::move(observer);
}

void ActivitySwitches::notify()
{
    std::function<void()> fn;
    {
        std::lock_guard lock(observerMutex);
        fn = observerFn;
    }
    if (fn)
        fn();
}
