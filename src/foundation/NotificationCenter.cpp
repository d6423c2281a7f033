#include "foundation/NotificationCenter.h"

#include <algorithm>

#include "foundation/MainThread.h"

NotificationCenter &NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(Owner owner, const QString &name, Handler handler)
{
    std::lock_guard lock(mutex_);
    entries_.push_back({owner, name, std::move(handler), std::make_shared<bool>(true)});
}

void NotificationCenter::removeObserver(Owner owner)
{
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [&](const Entry &e) {
        if (e.owner != owner)
            return false;
        *e.alive = false;
        return true;
    });
}

void NotificationCenter::removeObserver(Owner owner, const QString &name)
{
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [&](const Entry &e) {
        if (e.owner != owner || e.name != name)
            return false;
        *e.alive = false;
        return true;
    });
}

int NotificationCenter::observerCount(const QString &name) const
{
    std::lock_guard lock(mutex_);
    return int(std::count_if(entries_.begin(), entries_.end(),
                             [&](const Entry &e) { return e.name == name; }));
}

void NotificationCenter::post(const QString &name)
{
    if (isMainThread())
        deliver(name);
    else
        performOnMain([this, name] { deliver(name); });
}

void NotificationCenter::deliver(const QString &name)
{
    // Snapshot first: handlers run without the lock so they can add and
    // remove observers; the alive flag skips those removed meanwhile.
    std::vector<std::pair<std::shared_ptr<bool>, Handler>> targets;
    {
        std::lock_guard lock(mutex_);
        for (const auto &e : entries_)
            if (e.name == name)
                targets.emplace_back(e.alive, e.handler);
    }
    for (auto &[alive, handler] : targets)
        if (*alive)
            handler();
}
