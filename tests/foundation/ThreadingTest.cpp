#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QThread>

#include "foundation/MainThread.h"
#include "foundation/NotificationCenter.h"
#include "foundation/OperationQueue.h"
#include "support/EventLoop.h"

namespace {

class Recording : public Operation
{
public:
    Recording(int id, std::vector<int> &log, std::mutex &mutex) : id_(id), log_(log), mutex_(mutex) {}
    void main() override
    {
        std::lock_guard lock(mutex_);
        log_.push_back(id_);
    }

private:
    int id_;
    std::vector<int> &log_;
    std::mutex &mutex_;
};

// Blocks until released, so a test can hold the queue's only worker.
class Gate : public Operation
{
public:
    void main() override
    {
        started = true;
        while (!released && !isCancelled())
            std::this_thread::yield();
    }
    std::atomic<bool> started{false};
    std::atomic<bool> released{false};
};

// Reports on the main thread unless cancelled, the way fetchers do.
class Reporter : public Operation
{
public:
    explicit Reporter(std::atomic<int> &reports) : reports_(reports) {}
    void main() override
    {
        static std::mutex reportLock;
        std::lock_guard lock(reportLock);
        if (isCancelled())
            return;
        performOnMainAndWait([this] { ++reports_; });
    }

private:
    std::atomic<int> &reports_;
};

} // namespace

TEST(OperationQueueTest, WidthOneRunsInOrder)
{
    std::vector<int> log;
    std::mutex mutex;
    OperationQueue queue(1);
    for (int i = 0; i < 50; ++i)
        queue.addOperation(std::make_shared<Recording>(i, log, mutex));
    queue.waitUntilAllOperationsAreFinished();
    ASSERT_EQ(log.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(log[size_t(i)], i);
    EXPECT_EQ(queue.operationCount(), 0);
}

TEST(OperationQueueTest, CancelledOperationsNeverRunOrReport)
{
    std::vector<int> log;
    std::mutex mutex;
    std::atomic<int> reports{0};
    OperationQueue queue(1);
    auto gate = std::make_shared<Gate>();
    queue.addOperation(gate);
    auto waiting = std::make_shared<Recording>(1, log, mutex);
    auto reporter = std::make_shared<Reporter>(reports);
    queue.addOperation(waiting);
    queue.addOperation(reporter);
    while (!gate->started)
        std::this_thread::yield();
    EXPECT_EQ(queue.operations().size(), 3u);
    queue.cancelAllOperations();
    queue.waitUntilAllOperationsAreFinished();
    pumpEvents();
    EXPECT_TRUE(gate->isCancelled());
    EXPECT_TRUE(waiting->isFinished());
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(reports.load(), 0);

    // A fresh operation after cancel-all still runs and reports.
    auto next = std::make_shared<Reporter>(reports);
    queue.addOperation(next);
    EXPECT_TRUE(pumpEventsUntil([&] { return reports.load() == 1; }));
}

TEST(OperationQueueTest, WiderQueueRunsConcurrently)
{
    OperationQueue queue(3);
    std::vector<std::shared_ptr<Gate>> gates;
    for (int i = 0; i < 3; ++i) {
        gates.push_back(std::make_shared<Gate>());
        queue.addOperation(gates.back());
    }
    // Each gate holds its worker until released, so all three can have
    // started only on three workers at once.
    auto allStarted = [&] {
        return std::all_of(gates.begin(), gates.end(), [](const auto &g) { return g->started.load(); });
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!allStarted() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_TRUE(allStarted());
    for (auto &g : gates)
        g->released = true;
    queue.waitUntilAllOperationsAreFinished();
    for (auto &g : gates)
        EXPECT_TRUE(g->isFinished());
}

// Reports one result through the operations' one way of reporting; the
// cancel comes from the main thread while the report is on its way.
class Reporting : public Operation
{
public:
    static inline ReportLocks locks;
    void main() override
    {
        reached = true;
        while (!release)
            std::this_thread::yield();
        reportOnMain(locks.finished, [this] {
            onMain = isMainThread();
            ++reports;
        });
    }
    std::atomic<bool> reached{false};
    std::atomic<bool> release{false};
    bool onMain = false;
    int reports = 0;
};

TEST(OperationQueueTest, ReportsReachTheMainThreadUnlessCancelledOnTheWay)
{
    OperationQueue queue(2);
    auto heard = std::make_shared<Reporting>();
    auto silenced = std::make_shared<Reporting>();
    queue.addOperation(heard);
    queue.addOperation(silenced);
    while (!heard->reached || !silenced->reached)
        std::this_thread::yield();
    heard->release = true;
    ASSERT_TRUE(pumpEventsUntil([&] { return heard->reports == 1; }));
    EXPECT_TRUE(heard->onMain);

    // Once the worker holds its class's lock it has passed its own check and
    // waits for the main thread, busy here: the cancel that comes first must
    // still silence the report.
    silenced->release = true;
    while (Reporting::locks.finished.try_lock())
        Reporting::locks.finished.unlock();
    silenced->cancel();
    ASSERT_TRUE(pumpEventsUntil([&] { return silenced->isFinished(); }));
    pumpEvents();
    EXPECT_EQ(silenced->reports, 0);
}

TEST(MainThreadTest, HandOverFromWorkersAndFromMain)
{
    ASSERT_TRUE(isMainThread());
    // From the main thread the waiting form runs at once instead of deadlocking.
    bool ranInline = false;
    performOnMainAndWait([&] { ranInline = isMainThread(); });
    EXPECT_TRUE(ranInline);

    // The queued form from the main thread runs only when events are processed.
    bool queued = false;
    performOnMain([&] { queued = true; });
    EXPECT_FALSE(queued);
    pumpEvents();
    EXPECT_TRUE(queued);

    std::atomic<int> onMain{0};
    std::atomic<bool> workerSawResult{false};
    std::thread worker([&] {
        EXPECT_FALSE(isMainThread());
        performOnMainAndWait([&] {
            if (isMainThread())
                ++onMain;
        });
        workerSawResult = onMain.load() == 1; // waited for the main thread
        performOnMain([&] {
            if (isMainThread())
                ++onMain;
        });
    });
    EXPECT_TRUE(pumpEventsUntil([&] { return onMain.load() == 2; }));
    worker.join();
    EXPECT_TRUE(workerSawResult);
}

// Plain data on purpose: only the hand-over orders the two threads here, and
// a ThreadSanitizer build reports it when that ordering is not visible.
TEST(MainThreadTest, HandOverOrdersWhatEachSideWrote)
{
    std::vector<int> fromWorker, fromMain;
    std::vector<int> postedValues;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 20; ++i) {
            fromWorker.push_back(i);
            performOnMainAndWait([&] { fromMain.push_back(fromWorker.back() * 2); });
            EXPECT_EQ(fromMain.back(), i * 2);
            // Built on this thread, read and freed on the main thread.
            auto payload = std::make_shared<std::vector<int>>(size_t(i + 1), i);
            performOnMain([&postedValues, payload] { postedValues.push_back(payload->back()); });
        }
        performOnMain([&] { done = true; });
    });
    EXPECT_TRUE(pumpEventsUntil([&] { return done.load(); }));
    worker.join();
    ASSERT_EQ(postedValues.size(), 20u);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(postedValues[size_t(i)], i); // in the order posted
}

TEST(NotificationCenterTest, DeliversOnMainThreadAndSurvivesRemovalDuringDelivery)
{
    NotificationCenter center;
    int a = 0, b = 0, c = 0;
    int ownerA, ownerB, ownerC;
    center.addObserver(&ownerA, QStringLiteral("N"), [&] {
        ++a;
        center.removeObserver(&ownerB); // removes a later observer mid-delivery
        center.removeObserver(&ownerA); // and itself
    });
    center.addObserver(&ownerB, QStringLiteral("N"), [&] { ++b; });
    center.addObserver(&ownerC, QStringLiteral("Other"), [&] { ++c; });
    center.post(QStringLiteral("N"));
    center.post(QStringLiteral("N"));
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(center.observerCount(QStringLiteral("N")), 0);

    std::atomic<bool> deliveredOnMain{false};
    center.addObserver(&ownerC, QStringLiteral("FromWorker"), [&] { deliveredOnMain = isMainThread(); });
    std::thread([&] { center.post(QStringLiteral("FromWorker")); }).join();
    EXPECT_FALSE(deliveredOnMain);
    EXPECT_TRUE(pumpEventsUntil([&] { return deliveredOnMain.load(); }));
    center.removeObserver(&ownerC);
    EXPECT_EQ(center.observerCount(QStringLiteral("Other")), 0);
}
