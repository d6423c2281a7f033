#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "foundation/Operation.h"

// Runs Operations on its own worker threads, at most
// maxConcurrentOperationCount at a time, starting them in the order they
// were added (a queue of width 1 runs them strictly one after another).
// Thread contract: every member may be called from any thread; operations
// run on the queue's workers, never on the caller's thread.
class OperationQueue
{
public:
    explicit OperationQueue(int maxConcurrentOperationCount = 1);
    ~OperationQueue(); // cancels what is left and joins the workers
    OperationQueue(const OperationQueue &) = delete;
    OperationQueue &operator=(const OperationQueue &) = delete;

    void setMaxConcurrentOperationCount(int count);
    int maxConcurrentOperationCount() const;

    void addOperation(std::shared_ptr<Operation> operation);
    void cancelAllOperations();
    // Operations added and not yet finished, in the order they were added.
    std::vector<std::shared_ptr<Operation>> operations() const;
    int operationCount() const;

    // Blocks until every operation added so far has finished.
    void waitUntilAllOperationsAreFinished();

private:
    void workerLoop();
    void spawnWorkersLocked();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::shared_ptr<Operation>> pending_;
    std::vector<std::shared_ptr<Operation>> running_;
    std::vector<std::thread> workers_;
    int width_;
    int busyWorkers_ = 0;
    bool stopping_ = false;
};
