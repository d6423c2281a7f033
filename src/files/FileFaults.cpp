#include "files/FileFaults.h"

#include <atomic>
#include <cerrno>
#include <mutex>

namespace {

std::mutex &injectorLock()
{
    static std::mutex lock;
    return lock;
}

FileFaults::Injector &injector()
{
    static FileFaults::Injector installed;
    return installed;
}

// Every file step asks, so the common case must not take the lock.
std::atomic<bool> installed{false};

} // namespace

void FileFaults::setInjector(Injector newInjector)
{
    std::lock_guard lock(injectorLock());
    installed = bool(newInjector);
    injector() = std::move(newInjector);
}

bool FileFaults::fails(Step step, const QString &path)
{
    if (!installed.load(std::memory_order_acquire))
        return false;
    Injector copy;
    {
        std::lock_guard lock(injectorLock());
        copy = injector();
    }
    const int error = copy ? copy(step, path) : 0;
    if (error == 0)
        return false;
    errno = error;
    return true;
}
