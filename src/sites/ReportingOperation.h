#pragma once

#include <functional>
#include <mutex>

#include "foundation/Operation.h"

// Base of the catalogue fetch operations. Each fetcher class keeps two
// class-wide locks, one for success reports and one for failure reports, so
// that at most one fetcher of a kind talks to its delegate at a time, and
// re-checks cancellation under the lock: a fetcher cancelled while it waited
// for the lock stays silent, and the newest request is the only one heard.
class ReportingOperation : public Operation
{
protected:
    // Runs report while holding lock, unless the operation has been
    // cancelled by then. Returns whether it reported.
    bool reportUnlessCancelled(std::mutex &lock, const std::function<void()> &report);
};
