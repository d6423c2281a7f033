#include "foundation/Alerts.h"

#include <cstdio>
#include <mutex>

namespace {

class ConsoleAlerts : public Alerts
{
public:
    void show(AlertRequest request) override
    {
        // A title alone ("Cannot deduce website?") is not followed by an
        // empty message.
        QString text = request.title;
        if (!request.message.isEmpty())
            text += (text.isEmpty() ? QString() : QStringLiteral(": ")) + request.message;
        std::fprintf(stderr, "%s\n", qPrintable(text));
        if (request.onButton)
            request.onButton(0);
    }
};

std::mutex installMutex;
std::shared_ptr<Alerts> installed;

} // namespace

Alerts &Alerts::instance()
{
    std::lock_guard lock(installMutex);
    if (!installed)
        installed = std::make_shared<ConsoleAlerts>();
    return *installed;
}

void Alerts::install(std::shared_ptr<Alerts> alerts)
{
    std::lock_guard lock(installMutex);
    installed = std::move(alerts);
}

void AlertRecorder::show(AlertRequest request)
{
    alerts_.push_back(std::move(request));
}

void AlertRecorder::press(int buttonIndex)
{
    if (alerts_.empty())
        return;
    AlertRequest alert = std::move(alerts_.front());
    alerts_.erase(alerts_.begin());
    if (alert.onButton)
        alert.onButton(buttonIndex);
}
