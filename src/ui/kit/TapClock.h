#pragma once

#include <functional>
#include <memory>

#include <QtGlobal>

class QObject;

// The time against which clicks are counted into taps (a single tap is
// reported a fixed delay after its click unless a second click came), so
// that tests can step it instead of waiting.
// Thread contract: main thread only.
class TapClock
{
public:
    virtual ~TapClock() = default;
    // Monotonic milliseconds.
    virtual qint64 now() const = 0;
    // Calls `fn` after `milliseconds` unless cancelled first; one call
    // waits at a time, a new one replaces it.
    virtual void callAfter(int milliseconds, std::function<void()> fn) = 0;
    virtual void cancel() = 0;
    virtual bool isPending() const = 0;

    // The real clock, its timer a child of `owner`.
    static std::unique_ptr<TapClock> system(QObject *owner);
};

// A clock that moves only when told: advance() fires what has come due.
class ManualTapClock : public TapClock
{
public:
    qint64 now() const override { return now_; }
    void callAfter(int milliseconds, std::function<void()> fn) override
    {
        due_ = now_ + milliseconds;
        fn_ = std::move(fn);
    }
    void cancel() override { fn_ = nullptr; }
    bool isPending() const override { return bool(fn_); }
    void advance(qint64 milliseconds)
    {
        now_ += milliseconds;
        if (fn_ && now_ >= due_) {
            auto fn = std::move(fn_);
            fn_ = nullptr;
            fn();
        }
    }

private:
    qint64 now_ = 0;
    qint64 due_ = 0;
    std::function<void()> fn_;
};
