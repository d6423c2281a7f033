#include "foundation/OperationQueue.h"

#include <algorithm>

OperationQueue::OperationQueue(int maxConcurrentOperationCount)
    : width_(std::max(1, maxConcurrentOperationCount))
{
}

OperationQueue::~OperationQueue()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (auto &op : pending_)
            op->cancel();
        for (auto &op : running_)
            op->cancel();
    }
    wake_.notify_all();
    for (auto &worker : workers_)
        worker.join();
    // Anyone waiting on an operation that never ran must not hang.
    for (auto &op : pending_)
        op->markFinished();
}

void OperationQueue::setMaxConcurrentOperationCount(int count)
{
    std::lock_guard lock(mutex_);
    width_ = std::max(1, count);
    spawnWorkersLocked();
    wake_.notify_all();
}

int OperationQueue::maxConcurrentOperationCount() const
{
    std::lock_guard lock(mutex_);
    return width_;
}

void OperationQueue::spawnWorkersLocked()
{
    // Workers are created lazily, never more than the width, and live as long
    // as the queue; an idle worker just waits on the condition variable.
    const int wanted = std::min<int>(width_, int(pending_.size()) + busyWorkers_);
    while (int(workers_.size()) < wanted)
        workers_.emplace_back([this] { workerLoop(); });
}

void OperationQueue::addOperation(std::shared_ptr<Operation> operation)
{
    {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        pending_.push_back(std::move(operation));
        spawnWorkersLocked();
    }
    wake_.notify_one();
}

void OperationQueue::cancelAllOperations()
{
    std::lock_guard lock(mutex_);
    for (auto &op : pending_)
        op->cancel();
    for (auto &op : running_)
        op->cancel();
}

std::vector<std::shared_ptr<Operation>> OperationQueue::operations() const
{
    std::lock_guard lock(mutex_);
    std::vector<std::shared_ptr<Operation>> all(running_.begin(), running_.end());
    all.insert(all.end(), pending_.begin(), pending_.end());
    return all;
}

int OperationQueue::operationCount() const
{
    std::lock_guard lock(mutex_);
    return int(running_.size() + pending_.size());
}

void OperationQueue::waitUntilAllOperationsAreFinished()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return pending_.empty() && running_.empty(); });
}

void OperationQueue::workerLoop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] {
            return stopping_ || (!pending_.empty() && busyWorkers_ < width_);
        });
        if (stopping_)
            return;
        auto op = pending_.front();
        pending_.pop_front();
        running_.push_back(op);
        ++busyWorkers_;
        lock.unlock();
        op->start();
        lock.lock();
        --busyWorkers_;
        running_.erase(std::find(running_.begin(), running_.end(), op));
        if (pending_.empty() && running_.empty())
            idle_.notify_all();
        else
            wake_.notify_one();
    }
}
