#include "foundation/WaitOverlay.h"

#include <mutex>

#include "foundation/MainThread.h"

namespace {
std::mutex installMutex;
std::shared_ptr<WaitOverlay> installed;
} // namespace

WaitOverlay &WaitOverlay::instance()
{
    std::lock_guard lock(installMutex);
    if (!installed)
        installed = std::make_shared<WaitOverlay>();
    return *installed;
}

void WaitOverlay::install(std::shared_ptr<WaitOverlay> overlay)
{
    std::lock_guard lock(installMutex);
    installed = std::move(overlay);
}

void WaitOverlay::postLabelText(const QString &text)
{
    performOnMain([text] { WaitOverlay::instance().setLabelText(text); });
}
