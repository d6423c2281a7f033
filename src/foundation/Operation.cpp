#include "foundation/Operation.h"

#include "foundation/MainThread.h"

void Operation::cancel()
{
    cancelled_.store(true, std::memory_order_release);
    std::lock_guard lock(stopMutex_);
    if (stop_)
        (*stop_)();
}

void Operation::runCancellable(const std::function<void()> &work, const std::function<void()> &stop)
{
    {
        std::lock_guard lock(stopMutex_);
        stop_ = &stop;
        if (isCancelled())
            stop();
    }
    work();
    std::lock_guard lock(stopMutex_);
    stop_ = nullptr;
}

void Operation::start()
{
    State expected = State::Ready;
    if (!state_.compare_exchange_strong(expected, State::Executing))
        return;
    if (!isCancelled())
        main();
    markFinished();
}

void Operation::markFinished()
{
    {
        std::lock_guard lock(finishMutex_);
        state_.store(State::Finished);
    }
    finished_.notify_all();
}

void Operation::waitUntilFinished()
{
    std::unique_lock lock(finishMutex_);
    finished_.wait(lock, [this] { return state_.load() == State::Finished; });
}

bool Operation::reportOnMain(std::mutex &lock, const std::function<void()> &report)
{
    std::lock_guard guard(lock);
    return reportOnMain(report);
}

bool Operation::reportOnMain(const std::function<void()> &report)
{
    if (isCancelled())
        return false;
    bool reported = false;
    performOnMainAndWait([&] {
        if (isCancelled())
            return;
        report();
        reported = true;
    });
    return reported;
}
