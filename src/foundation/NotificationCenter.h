#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include <QString>

// Named notifications without an object, always delivered on the main thread.
// Thread contract: addObserver/removeObserver belong to the main thread;
// post() may be called from any thread and hands over to the main thread
// when called elsewhere. Observers may add or remove observers (themselves
// included) while a notification is being delivered: a removed observer is
// never called again, an added one first hears the next post.
class NotificationCenter
{
public:
    using Handler = std::function<void()>;
    // Any address that identifies the owner, usually `this` of the observer.
    using Owner = const void *;

    static NotificationCenter &defaultCenter();

    void addObserver(Owner owner, const QString &name, Handler handler);
    void removeObserver(Owner owner);
    void removeObserver(Owner owner, const QString &name);
    void post(const QString &name);

    int observerCount(const QString &name) const;

private:
    struct Entry {
        Owner owner;
        QString name;
        Handler handler;
        std::shared_ptr<bool> alive;
    };
    void deliver(const QString &name);

    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};
