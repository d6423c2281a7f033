#include "web/HttpRequestQueue.h"

#include <algorithm>
#include <mutex>

#include "foundation/MainThread.h"
#include "foundation/Operation.h"
#include "foundation/OperationQueue.h"
#include "web/HttpProgressDelegate.h"
#include "web/HttpRequest.h"
#include "web/HttpRequestQueueDelegate.h"

// Shared with the operations and with the reports in flight to the main
// thread, so that a report arriving after the queue is gone finds a state
// with no one to tell.
//
// Lock: mutex guards the lists, suspended and cancelOnFailure; the
// fields after it belong to the main thread.
struct HttpRequestQueue::State : std::enable_shared_from_this<State> {
    mutable std::mutex mutex;
    std::vector<std::shared_ptr<HttpRequest>> unreported; // added, not yet reported
    std::vector<std::shared_ptr<HttpRequest>> live;       // added, not yet run to their end
    std::vector<std::shared_ptr<HttpRequest>> held;       // added while suspended
    bool suspended = true;
    bool cancelOnFailure = true;

    HttpRequestQueue *owner = nullptr;
    HttpRequestQueueDelegate *delegate = nullptr;
    HttpProgressDelegate *progress = nullptr;
    bool restartProgress = false;
    int progressTotal = 0;
    int progressDone = 0;

    // Runs on a worker of the pool. A request cancelled before its turn
    // still comes through here: it fails at once, without any I/O, and is
    // reported like every other.
    void run(const std::shared_ptr<HttpRequest> &request)
    {
        request->startSynchronous();
        bool cancelOthers = false;
        {
            std::lock_guard lock(mutex);
            // Out of reach of a cancel from now on: its end is decided.
            live.erase(std::find(live.begin(), live.end(), request));
            const auto &error = request->error();
            cancelOthers = cancelOnFailure && error && error->code != HttpRequest::RequestCancelled;
        }
        // Reported before the requests it cancels, so the delegate hears
        // the cause first.
        report(request);
        if (cancelOthers)
            cancelAll();
    }

    void report(const std::shared_ptr<HttpRequest> &request)
    {
        performOnMain([self = shared_from_this(), request] { self->deliver(request); });
    }

    // Cancels every request not yet reported. Those on the pool end there;
    // those held by a suspended queue would never reach it, so they end and
    // are reported here.
    void cancelAll()
    {
        std::vector<std::shared_ptr<HttpRequest>> notQueued;
        std::vector<std::shared_ptr<HttpRequest>> toCancel;
        {
            std::lock_guard lock(mutex);
            notQueued.swap(held);
            toCancel = live;
        }
        // Latest first: cancelling a running request frees its worker for
        // the next one in line, which must already carry its cancel by then
        // or it would reach the network.
        for (auto r = toCancel.rbegin(); r != toCancel.rend(); ++r)
            (*r)->cancel();
        for (const auto &r : notQueued) {
            r->startSynchronous();
            {
                std::lock_guard lock(mutex);
                live.erase(std::find(live.begin(), live.end(), r));
            }
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

namespace {

// One request's turn on the pool.
class RequestOperation : public Operation
{
public:
    explicit RequestOperation(std::function<void()> run) : run_(std::move(run)) {}
    void main() override { run_(); }

private:
    std::function<void()> run_;
};

} // namespace

HttpRequestQueue::HttpRequestQueue()
    : d(std::make_shared<State>()), pool_(std::make_unique<OperationQueue>(4))
{
    d->owner = this;
}

HttpRequestQueue::~HttpRequestQueue()
{
    {
        std::lock_guard lock(d->mutex);
        d->owner = nullptr;
        d->delegate = nullptr;
        d->progress = nullptr;
    }
    d->cancelAll();
    // Joins the workers; operations that have not begun are dropped unrun.
    pool_.reset();
}

void HttpRequestQueue::setDelegate(HttpRequestQueueDelegate *delegate)
{
    d->delegate = delegate;
}

void HttpRequestQueue::setMaxConcurrentOperationCount(int count)
{
    pool_->setMaxConcurrentOperationCount(count);
}

int HttpRequestQueue::maxConcurrentOperationCount() const
{
    return pool_->maxConcurrentOperationCount();
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
        d->live.push_back(request);
        if (d->suspended) {
            d->held.push_back(std::move(request));
            return;
        }
    }
    enqueue(std::move(request));
}

void HttpRequestQueue::enqueue(std::shared_ptr<HttpRequest> request)
{
    pool_->addOperation(std::make_shared<RequestOperation>(
        [state = d, request = std::move(request)] { state->run(request); }));
}

void HttpRequestQueue::go()
{
    std::vector<std::shared_ptr<HttpRequest>> held;
    {
        std::lock_guard lock(d->mutex);
        d->suspended = false;
        held.swap(d->held);
    }
    for (auto &request : held)
        enqueue(std::move(request));
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
