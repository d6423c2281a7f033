#include "foundation/UrlOpener.h"

#include <QDesktopServices>

namespace {

class DesktopUrlOpener : public UrlOpener
{
public:
    bool openUrl(const QUrl &url) override { return QDesktopServices::openUrl(url); }
};

std::shared_ptr<UrlOpener> &installed()
{
    static std::shared_ptr<UrlOpener> opener;
    return opener;
}

} // namespace

UrlOpener &UrlOpener::instance()
{
    static DesktopUrlOpener desktop;
    return installed() ? *installed() : desktop;
}

void UrlOpener::install(std::shared_ptr<UrlOpener> opener)
{
    installed() = std::move(opener);
}
