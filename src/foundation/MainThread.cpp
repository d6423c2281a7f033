#include "foundation/MainThread.h"

#include <memory>
#include <utility>

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

// Qt is not built for ThreadSanitizer, so it cannot see that a function
// posted through Qt's event queue happens after everything its poster did
// before posting. Under TSan the hand-over says so itself: the poster
// releases the function's address, the main thread acquires it before
// running it (and, for a waiting poster, the other way round afterwards).
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

namespace {

void handOver(const void *token)
{
    __tsan_release(const_cast<void *>(token));
}

void takeOver(const void *token)
{
    __tsan_acquire(const_cast<void *>(token));
}

} // namespace
#endif

bool isMainThread()
{
    auto *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void performOnMain(std::function<void()> fn)
{
    auto *app = QCoreApplication::instance();
    if (!app)
        return; // no event loop: the process is shutting down
#ifdef YOMORA_TSAN
    auto task = std::make_shared<std::function<void()>>(std::move(fn));
    handOver(task.get());
    QMetaObject::invokeMethod(
        app,
        [task] {
            takeOver(task.get());
            (*task)();
        },
        Qt::QueuedConnection);
#else
    QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
#endif
}

void performOnMainAndWait(const std::function<void()> &fn)
{
    auto *app = QCoreApplication::instance();
    if (!app)
        return;
    if (QThread::currentThread() == app->thread()) {
        fn();
        return;
    }
#ifdef YOMORA_TSAN
    handOver(&fn);
    QMetaObject::invokeMethod(
        app,
        [&fn] {
            takeOver(&fn);
            fn();
            handOver(&fn);
        },
        Qt::BlockingQueuedConnection);
    takeOver(&fn);
#else
    QMetaObject::invokeMethod(app, fn, Qt::BlockingQueuedConnection);
#endif
}
