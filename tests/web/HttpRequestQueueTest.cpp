#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <thread>

#include <QThread>

#include "foundation/MainThread.h"
#include "support/EventLoop.h"
#include "support/LoopbackServer.h"
#include "web/HttpProgressDelegate.h"
#include "web/HttpRequest.h"
#include "web/HttpRequestQueue.h"
#include "web/HttpRequestQueueDelegate.h"

namespace {

struct Recorder : HttpRequestQueueDelegate, HttpProgressDelegate {
    // "finish 0", "fail 2 code 4", "queue" in the order heard
    std::vector<std::string> events;
    std::vector<float> progress;
    bool offMain = false;

    void note(std::string event)
    {
        offMain |= !isMainThread();
        events.push_back(std::move(event));
    }
    void requestDidFinish(const std::shared_ptr<HttpRequest> &r) override
    {
        note("finish " + std::to_string(r->number));
    }
    void requestDidFail(const std::shared_ptr<HttpRequest> &r) override
    {
        note("fail " + std::to_string(r->number) + " code " + std::to_string(r->error()->code));
    }
    void queueDidFinish(HttpRequestQueue &) override { note("queue"); }
    void setProgress(float p) override
    {
        offMain |= !isMainThread();
        progress.push_back(p);
    }
    bool finished() const { return !events.empty() && events.back() == "queue"; }
};

class HttpRequestQueueTest : public testing::Test
{
protected:
    HttpRequestQueueTest()
    {
        for (int i = 0; i < 4; ++i)
            server.servePage(QStringLiteral("/page%1").arg(i), QByteArray("page ") + QByteArray::number(i));
        LoopbackResponse stall;
        stall.stall = true;
        server.serve(QStringLiteral("/stall"), stall);
        queue.setDelegate(&recorder);
        queue.setMaxConcurrentOperationCount(1);
    }

    std::shared_ptr<HttpRequest> add(const QString &path, quint32 number)
    {
        auto request = HttpRequest::requestWithURL(QUrl(server.url(path)));
        request->number = number;
        // Short only where the server stalls; a loaded machine may be slow to answer.
        request->setTimeOutSeconds(path == QLatin1String("/stall") ? 0.1 : 10);
        queue.addOperation(request);
        return request;
    }

    LoopbackServer server;
    Recorder recorder;
    HttpRequestQueue queue;
};

} // namespace

TEST_F(HttpRequestQueueTest, RunsInOrderOnlyAfterGoAndReportsOnTheMainThread)
{
    queue.setDownloadProgressDelegate(&recorder);
    for (quint32 i = 0; i < 4; ++i)
        add(QStringLiteral("/page%1").arg(i), i);
    EXPECT_EQ(queue.requestsCount(), 4);
    EXPECT_TRUE(queue.isSuspended());
    pumpEventsUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(server.requestCount(), 0);

    queue.go();
    ASSERT_TRUE(pumpEventsUntil([&] { return recorder.finished(); }));
    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"finish 0", "finish 1", "finish 2", "finish 3", "queue"}));
    EXPECT_FALSE(recorder.offMain);
    EXPECT_EQ(queue.requestsCount(), 0);
    std::vector<QString> order;
    for (const auto &r : server.requests())
        order.push_back(r.path);
    EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("/page0"), QStringLiteral("/page1"),
                                           QStringLiteral("/page2"), QStringLiteral("/page3")}));
    EXPECT_EQ(recorder.progress.front(), 0.0f);
    EXPECT_EQ(recorder.progress.back(), 1.0f);
    EXPECT_EQ(server.connectionCount(), 1);
}

TEST_F(HttpRequestQueueTest, TheFirstFailureCancelsTheRestBeforeTheyAreSent)
{
    queue.setDownloadProgressDelegate(&recorder);
    add(QStringLiteral("/page0"), 0);
    add(QStringLiteral("/stall"), 1)->setNumberOfTimesToRetryOnTimeout(1);
    add(QStringLiteral("/page2"), 2);
    add(QStringLiteral("/page3"), 3);
    queue.go();
    ASSERT_TRUE(pumpEventsUntil([&] { return recorder.finished(); }));

    EXPECT_EQ(recorder.events, (std::vector<std::string>{"finish 0", "fail 1 code 2", "fail 2 code 4",
                                                         "fail 3 code 4", "queue"}));
    EXPECT_EQ(server.requestCount(QStringLiteral("/stall")), 2);
    EXPECT_EQ(server.requestCount(QStringLiteral("/page2")), 0);
    EXPECT_EQ(recorder.progress, (std::vector<float>{0.0f, 0.0f, 0.0f, 0.0f, 0.25f, 0.5f, 0.75f, 1.0f}));

    // Setting the bar again starts the count afresh with the next request.
    recorder.events.clear();
    recorder.progress.clear();
    queue.setShouldCancelAllRequestsOnFailure(false);
    queue.setDownloadProgressDelegate(&recorder);
    add(QStringLiteral("/stall"), 4);
    add(QStringLiteral("/page0"), 5);
    ASSERT_TRUE(pumpEventsUntil([&] { return recorder.finished(); }));
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"fail 4 code 2", "finish 5", "queue"}));
    EXPECT_EQ(recorder.progress, (std::vector<float>{0.0f, 0.0f, 0.5f, 1.0f}));
}

TEST_F(HttpRequestQueueTest, CancellingReportsEveryRequestOnceAndThenTheQueueEnd)
{
    add(QStringLiteral("/stall"), 0)->setTimeOutSeconds(60);
    add(QStringLiteral("/page1"), 1);
    add(QStringLiteral("/page2"), 2);
    queue.go();
    ASSERT_TRUE(pumpEventsUntil([&] { return server.requestCount() == 1; }));
    EXPECT_EQ(queue.operations().size(), 3u);

    queue.cancelAllOperations();
    ASSERT_TRUE(pumpEventsUntil([&] { return recorder.finished(); }));
    pumpEventsUntil([] { return false; }, std::chrono::milliseconds(50)); // nothing more may arrive
    std::vector<std::string> events = recorder.events;
    std::sort(events.begin(), events.end() - 1);
    EXPECT_EQ(events, (std::vector<std::string>{"fail 0 code 4", "fail 1 code 4", "fail 2 code 4", "queue"}));
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_TRUE(queue.operations().empty());
}

TEST(HttpRequestQueueLifetime, DestroyingARunningQueueReportsNothing)
{
    LoopbackServer server;
    LoopbackResponse stall;
    stall.stall = true;
    server.serve(QStringLiteral("/stall"), stall);
    Recorder recorder;
    {
        HttpRequestQueue queue;
        queue.setDelegate(&recorder);
        for (int i = 0; i < 3; ++i)
            queue.addOperation(HttpRequest::requestWithURL(QUrl(server.url(QStringLiteral("/stall")))));
        queue.go();
        ASSERT_TRUE(pumpEventsUntil([&] { return server.requestCount() == 3; }));
    }
    pumpEvents();
    EXPECT_TRUE(recorder.events.empty());
}

TEST(HttpRequestQueueWidth, RunsAtMostTheAllowedNumberSideBySide)
{
    LoopbackServer server;
    std::mutex mutex;
    int inFlight = 0, most = 0;
    server.handlePrefix(QStringLiteral("/slow/"), [&](const LoopbackRequest &) {
        {
            std::lock_guard lock(mutex);
            most = std::max(most, ++inFlight);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        std::lock_guard lock(mutex);
        --inFlight;
        return LoopbackResponse::page("done");
    });
    Recorder recorder;
    HttpRequestQueue queue;
    queue.setDelegate(&recorder);
    queue.setMaxConcurrentOperationCount(3);
    for (quint32 i = 0; i < 9; ++i) {
        auto request = HttpRequest::requestWithURL(QUrl(server.url(QStringLiteral("/slow/%1").arg(i))));
        request->number = i;
        queue.addOperation(request);
    }
    queue.go();
    ASSERT_TRUE(pumpEventsUntil([&] { return recorder.finished(); }));
    EXPECT_EQ(recorder.events.size(), 10u);
    EXPECT_EQ(std::count(recorder.events.begin(), recorder.events.end(), "queue"), 1);
    std::lock_guard lock(mutex); // the server's threads wrote it
    EXPECT_GT(most, 1);
    EXPECT_LE(most, 3);
}
