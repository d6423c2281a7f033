#include "web/HttpRequestQueue.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "foundation/MainThread.h"
#include "web/HttpProgressDelegate.h"
#include "web/HttpRequest.h"
#include "web/HttpRequestQueueDelegate.h"

// Shared with the reports in flight to the main thread, so that a report
// arriving after the queue is gone finds a state with no one to tell.
//
// Lock: mutex guards everything but the main-thread-only fields at the end.
struct HttpRequestQueue::State : std::enable_shared_from_this<State> {
    mutable std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::shared_ptr<HttpRequest>> pending;
    std::vector<std::shared_ptr<HttpRequest>> running;
    std::vector<std::shared_ptr<HttpRequest>> unreported; // added, not yet reported
    std::vector<std::thread> workers;
    int width = 4;
    bool suspended = true;
    bool stopping = false;
    bool cancelOnFailure = true;

    // Main thread only.
    HttpRequestQueue *owner = nullptr;
    HttpRequestQueueDelegate *delegate = nullptr;
    HttpProgressDelegate *progress = nullptr;
    bool restartProgress = false;
    int progressTotal = 0;
    int progressDone = 0;

    void spawnWorkersLocked()
    {
        while (int(workers.size()) < width)
            workers.emplace_back([self = shared_from_this()] { self->workerLoop(); });
    }

    void workerLoop()
    {
        for (;;) {
            std::shared_ptr<HttpRequest> request;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [this] {
                    return stopping || (!suspended && !pending.empty() && int(running.size()) < width);
                });
                if (stopping)
                    return;
                request = pending.front();
                pending.pop_front();
                running.push_back(request);
            }
            request->startSynchronous();
            bool cancelOthers = false;
            {
                std::lock_guard lock(mutex);
                running.erase(std::find(running.begin(), running.end(), request));
                const auto &error = request->error();
                cancelOthers = cancelOnFailure && error && error->code != HttpRequest::RequestCancelled;
            }
            // Reported before the requests it cancels, so the delegate hears
            // the cause first.
            report(request);
            if (cancelOthers)
                cancelAll();
            wake.notify_all();
        }
    }

    void report(const std::shared_ptr<HttpRequest> &request)
    {
        performOnMain([self = shared_from_this(), request] { self->deliver(request); });
    }

    // Cancels everything still held. Requests that never started end at once
    // (a cancelled request returns from startSynchronous without any I/O).
    void cancelAll()
    {
        std::deque<std::shared_ptr<HttpRequest>> notStarted;
        {
            std::lock_guard lock(mutex);
            notStarted.swap(pending);
            for (const auto &r : running)
                r->cancel();
        }
        for (const auto &r : notStarted) {
            r->cancel();
            r->startSynchronous();
            report(r);
        }
    }

    void deliver(const std::shared_ptr<HttpRequest> &request)
    {
        bool drained = false;
        {
            std::lock_guard lock(mutex);
            auto it = std::find(unreported.begin(), unreported.end(), request);
            if (it == unreported.end())
                return;
            unreported.erase(it);
            drained = unreported.empty();
        }
        if (!owner)
            return;
        ++progressDone;
        showProgress();
        if (delegate) {
            if (request->error())
                delegate->requestDidFail(request);
            else
                delegate->requestDidFinish(request);
        }
        if (drained && owner) {
            {
                std::lock_guard lock(mutex);
                drained = unreported.empty(); // the delegate may have added more
            }
            if (drained) {
                progressTotal = progressDone = 0;
                if (delegate)
                    delegate->queueDidFinish(*owner);
            }
        }
    }

    void showProgress()
    {
        if (progress)
            progress->setProgress(progressTotal > 0 ? float(progressDone) / float(progressTotal) : 0.0f);
    }
};

HttpRequestQueue::HttpRequestQueue() : d(std::make_shared<State>())
{
    d->owner = this;
}

HttpRequestQueue::~HttpRequestQueue()
{
    std::vector<std::thread> workers;
    {
        std::lock_guard lock(d->mutex);
        d->stopping = true;
        d->owner = nullptr;
        d->delegate = nullptr;
        d->progress = nullptr;
        workers.swap(d->workers);
    }
    d->cancelAll();
    d->wake.notify_all();
    for (auto &worker : workers)
        worker.join();
}

void HttpRequestQueue::setDelegate(HttpRequestQueueDelegate *delegate)
{
    d->delegate = delegate;
}

void HttpRequestQueue::setMaxConcurrentOperationCount(int count)
{
    std::lock_guard lock(d->mutex);
    d->width = std::max(1, count);
    if (!d->suspended)
        d->spawnWorkersLocked();
    d->wake.notify_all();
}

int HttpRequestQueue::maxConcurrentOperationCount() const
{
    std::lock_guard lock(d->mutex);
    return d->width;
}

void HttpRequestQueue::setShouldCancelAllRequestsOnFailure(bool cancel)
{
    std::lock_guard lock(d->mutex);
    d->cancelOnFailure = cancel;
}

void HttpRequestQueue::setDownloadProgressDelegate(HttpProgressDelegate *progress)
{
    d->progress = progress;
    d->restartProgress = true;
}

void HttpRequestQueue::addOperation(std::shared_ptr<HttpRequest> request)
{
    if (!request)
        return;
    if (d->restartProgress) {
        d->restartProgress = false;
        d->progressTotal = d->progressDone = 0;
    }
    ++d->progressTotal;
    d->showProgress();
    {
        std::lock_guard lock(d->mutex);
        d->unreported.push_back(request);
        d->pending.push_back(std::move(request));
    }
    d->wake.notify_all();
}

void HttpRequestQueue::go()
{
    std::lock_guard lock(d->mutex);
    d->suspended = false;
    d->spawnWorkersLocked();
    d->wake.notify_all();
}

bool HttpRequestQueue::isSuspended() const
{
    std::lock_guard lock(d->mutex);
    return d->suspended;
}

void HttpRequestQueue::cancelAllOperations()
{
    d->cancelAll();
}

std::vector<std::shared_ptr<HttpRequest>> HttpRequestQueue::operations() const
{
    std::lock_guard lock(d->mutex);
    return d->unreported;
}

int HttpRequestQueue::requestsCount() const
{
    std::lock_guard lock(d->mutex);
    return int(d->unreported.size());
}
