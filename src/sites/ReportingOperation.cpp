#include "sites/ReportingOperation.h"

bool ReportingOperation::reportUnlessCancelled(std::mutex &lock, const std::function<void()> &report)
{
    std::lock_guard<std::mutex> guard(lock);
    if (isCancelled())
        return false;
    report();
    return true;
}
