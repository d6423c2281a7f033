#include "foundation/MainThread.h"

#include <condition_variable>
#include <mutex>
#include <utility>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

// Qt is not built for ThreadSanitizer, so it cannot see that a function
// posted through Qt's event queue happens after everything its poster did
// before posting. Under TSan the hand-over says so itself: the poster
// releases the event's address once the event is complete, and the main
// thread acquires it before touching the event. That is why the function
// travels in an event of our own, built whole before it is posted, rather
// than in a queued functor that Qt builds and frees on either thread.
#if defined(__SANITIZE_THREAD__)
#define YOMORA_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define YOMORA_TSAN 1
#endif
#endif

#ifdef YOMORA_TSAN
extern "C" void __tsan_acquire(void *address);
extern "C" void __tsan_release(void *address);
#endif

namespace {

void handOver(void *token)
{
#ifdef YOMORA_TSAN
    __tsan_release(token);
#else
    (void)token;
#endif
}

void takeOver(void *token)
{
#ifdef YOMORA_TSAN
    __tsan_acquire(token);
#else
    (void)token;
#endif
}

// A poster of performOnMainAndWait blocks on this until its function has run
// or has been dropped unrun.
struct Waiter {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
};

QEvent::Type performEventType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

class PerformEvent final : public QEvent
{
public:
    PerformEvent(std::function<void()> fn, Waiter *waiter)
        : QEvent(performEventType()), fn_(std::move(fn)), waiter_(waiter)
    {}

    // Also runs when Qt drops the event unrun (its receiver went first), so
    // a waiting poster is never left hanging.
    ~PerformEvent() override
    {
        takeOver(this);
        if (!waiter_)
            return;
        std::lock_guard lock(waiter_->mutex);
        waiter_->finished = true;
        waiter_->done.notify_all();
    }

    void run() { fn_(); }

private:
    std::function<void()> fn_;
    Waiter *waiter_;
};

// Lives on the main thread as a child of the application, so that it goes,
// with whatever is still queued for it, when the application goes.
class Performer final : public QObject
{
public:
    using QObject::QObject;
    ~Performer() override;

    bool event(QEvent *event) override
    {
        takeOver(event); // before reading anything of it, its type included
        if (event->type() != performEventType())
            return QObject::event(event);
        static_cast<PerformEvent *>(event)->run();
        return true;
    }
};

std::mutex performerMutex; // guards performer against the application going
Performer *performer = nullptr;

Performer::~Performer()
{
    std::lock_guard lock(performerMutex);
    if (performer == this)
        performer = nullptr;
}

void createPerformer()
{
    auto *app = QCoreApplication::instance();
    std::lock_guard lock(performerMutex);
    performer = new Performer(app);
}

// False when there is no application to run fn: the process is shutting down.
bool post(std::function<void()> fn, Waiter *waiter)
{
    std::lock_guard lock(performerMutex);
    if (!performer)
        return false;
    auto *event = new PerformEvent(std::move(fn), waiter);
    handOver(event);
    QCoreApplication::postEvent(performer, event);
    return true;
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(createPerformer)

bool isMainThread()
{
    auto *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void performOnMain(std::function<void()> fn)
{
    post(std::move(fn), nullptr);
}

void performOnMainAndWait(const std::function<void()> &fn)
{
    if (isMainThread()) {
        fn();
        return;
    }
    Waiter waiter;
    if (!post([&fn] { fn(); }, &waiter))
        return;
    std::unique_lock lock(waiter.mutex);
    waiter.done.wait(lock, [&] { return waiter.finished; });
}
