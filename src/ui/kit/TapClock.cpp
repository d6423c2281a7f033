#include "ui/kit/TapClock.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

namespace {

class SystemTapClock : public TapClock
{
public:
    explicit SystemTapClock(QObject *owner) : timer_(new QTimer(owner))
    {
        elapsed_.start();
        timer_->setSingleShot(true);
        QObject::connect(timer_, &QTimer::timeout, timer_, [this] {
            auto fn = std::move(fn_);
            fn_ = nullptr;
            if (fn)
                fn();
        });
    }
    ~SystemTapClock() override { delete timer_.data(); }
    SystemTapClock(const SystemTapClock &) = delete;
    SystemTapClock &operator=(const SystemTapClock &) = delete;

    qint64 now() const override { return elapsed_.elapsed(); }
    void callAfter(int milliseconds, std::function<void()> fn) override
    {
        fn_ = std::move(fn);
        timer_->start(milliseconds);
    }
    void cancel() override
    {
        if (timer_)
            timer_->stop();
        fn_ = nullptr;
    }
    bool isPending() const override { return timer_ && timer_->isActive(); }

private:
    QElapsedTimer elapsed_;
    QPointer<QTimer> timer_; // a child of the owner given, deleted with the clock
    std::function<void()> fn_;
};

} // namespace

std::unique_ptr<TapClock> TapClock::system(QObject *owner)
{
    return std::make_unique<SystemTapClock>(owner);
}
