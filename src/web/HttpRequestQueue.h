#pragma once

#include <memory>
#include <vector>

class HttpProgressDelegate;
class HttpRequest;
class HttpRequestQueueDelegate;
class OperationQueue;

// Runs HttpRequests on a worker pool of its own (an OperationQueue), at most
// maxConcurrentOperationCount at a time, in the order they were added, and
// reports each one's end to its delegate on the main thread.
//
// Thread contract: the setters, addOperation and go belong to the main
// thread; cancelAllOperations, operations and requestsCount may be called
// from any thread. Requests run on the queue's workers; the delegate and the
// progress delegate are only ever called on the main thread.
//
// A new queue is suspended: requests wait until go(). By default the first
// request that fails (for any reason but cancellation) cancels every other
// request of the queue; cancelled requests are reported as failed with
// code 4, so every request added is reported exactly once, and the
// queue-finished callback follows the report that empties the queue.
class HttpRequestQueue
{
public:
    HttpRequestQueue();
    // Cancels what is left and joins the workers; reports still on their way
    // to the main thread are dropped.
    ~HttpRequestQueue();
    HttpRequestQueue(const HttpRequestQueue &) = delete;
    HttpRequestQueue &operator=(const HttpRequestQueue &) = delete;

    void setDelegate(HttpRequestQueueDelegate *delegate);
    void setMaxConcurrentOperationCount(int count);
    int maxConcurrentOperationCount() const;
    void setShouldCancelAllRequestsOnFailure(bool cancel);
    // Progress counts requests: each one added adds a step, each one that
    // ends completes one. The first request added after this call starts
    // the count (and the bar) again from 0.
    void setDownloadProgressDelegate(HttpProgressDelegate *progress);

    void addOperation(std::shared_ptr<HttpRequest> request);
    void go();
    bool isSuspended() const;
    void cancelAllOperations();

    // Requests added and not yet reported, in the order they were added.
    std::vector<std::shared_ptr<HttpRequest>> operations() const;
    int requestsCount() const;

private:
    void enqueue(std::shared_ptr<HttpRequest> request);

    struct State;
    std::shared_ptr<State> d;
    std::unique_ptr<OperationQueue> pool_;
};
