#include "foundation/MainThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

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
    QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
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
    QMetaObject::invokeMethod(app, fn, Qt::BlockingQueuedConnection);
}
