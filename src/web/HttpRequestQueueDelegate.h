#pragma once

#include <memory>

class HttpRequest;
class HttpRequestQueue;

// Hears how the requests of an HttpRequestQueue end. Every callback arrives
// on the main thread; each request added is reported exactly once, through
// requestDidFinish (it got a response) or requestDidFail (it ended with an
// error, cancellation included), and queueDidFinish follows the report that
// leaves the queue empty.
class HttpRequestQueueDelegate
{
public:
    virtual ~HttpRequestQueueDelegate() = default;
    virtual void requestDidFinish(const std::shared_ptr<HttpRequest> &request) {}
    virtual void requestDidFail(const std::shared_ptr<HttpRequest> &request) {}
    virtual void queueDidFinish(HttpRequestQueue &queue) {}
};
