#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

// A unit of background work. Thread contract: main() runs once on a worker
// thread of an OperationQueue; cancel() and the state queries may be called
// from any thread. Cancellation is cooperative: main() polls isCancelled(),
// and blocking work (a request in flight) runs through runCancellable so
// that a cancel ends it at once.
class Operation
{
public:
    Operation() = default;
    virtual ~Operation() = default;
    Operation(const Operation &) = delete;
    Operation &operator=(const Operation &) = delete;

    virtual void main() = 0;

    virtual void cancel();
    bool isCancelled() const { return cancelled_.load(std::memory_order_acquire); }

    // Runs blocking work that stop can end early: a cancel() while it runs
    // calls stop from the cancelling thread, and work begun after a cancel
    // is stopped before it starts (it still runs, to fail at once). Called
    // on the operation's own thread, one piece of work at a time.
    void runCancellable(const std::function<void()> &work, const std::function<void()> &stop);
    bool isExecuting() const { return state_.load() == State::Executing; }
    bool isFinished() const { return state_.load() == State::Finished; }

    // Blocks until main() has returned (or the operation was dropped unrun).
    void waitUntilFinished();

    // Runs main() unless already cancelled, then marks the operation finished.
    // Queues call this; tests may call it to run an operation inline.
    void start();

    // One lock for the success reports and one for the failure reports of a
    // class of operations, kept by the class.
    struct ReportLocks {
        std::mutex finished;
        std::mutex failed;
    };

protected:
    // How every operation reports: hands `report` to the main thread and
    // waits for it, unless the operation has been cancelled. Cancellation is
    // checked again under `lock` (so one cancelled while another of its
    // class reported stays silent: only the newest request is heard) and on
    // the main thread (so a cancel from there silences a report already on
    // its way). Returns whether it reported.
    bool reportOnMain(std::mutex &lock, const std::function<void()> &report);
    // For operations whose reports need no order among themselves.
    bool reportOnMain(const std::function<void()> &report);

private:
    enum class State { Ready, Executing, Finished };
    void markFinished();

    std::atomic<bool> cancelled_{false};
    std::mutex stopMutex_; // guards stop_ against a cancel from another thread
    const std::function<void()> *stop_ = nullptr;
    std::atomic<State> state_{State::Ready};
    std::mutex finishMutex_;
    std::condition_variable finished_;

    friend class OperationQueue;
};
