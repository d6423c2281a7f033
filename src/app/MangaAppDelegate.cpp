#include "app/MangaAppDelegate.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/PlaceholderViewController.h"
#include "foundation/Device.h"
#include "foundation/Localized.h"
#include "ui/kit/DimmerView.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TabBarItem.h"
#include "ui/kit/WaitOverlayView.h"

namespace {
MangaAppDelegate *theDelegate = nullptr;
}

MangaAppDelegate *GetMangaAppDelegate()
{
    return theDelegate;
}

MangaAppDelegate::MangaAppDelegate(AppOptions options, QObject *parent)
    : QObject(parent), options_(std::move(options))
{
    theDelegate = this;
}

MangaAppDelegate::~MangaAppDelegate()
{
    if (theDelegate == this)
        theDelegate = nullptr;
}

void MangaAppDelegate::applicationDidFinishLaunching()
{
    Device::setIdiom(options_.idiom);
    setupUI();
}

void MangaAppDelegate::setupUI()
{
    window_ = std::make_unique<QWidget>();
    window_->setWindowTitle(QStringLiteral("Yomora"));
    if (Device::isPad())
        window_->resize(768, 1024);
    else
        window_->resize(320, 480);

    auto *layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    tabBarController_ = new TabBarController(window_.get());
    layout->addWidget(tabBarController_);

    auto addTab = [this](const char *title) {
        auto nav = std::make_unique<NavigationController>(
            std::make_unique<PlaceholderViewController>(localized(title)));
        nav->navigationBar()->setBarStyle(NavigationBar::Style::Black);
        NavigationController *raw = nav.get();
        tabBarController_->addViewController(std::move(nav));
        return raw;
    };
    internetNavigationController_ = addTab("Internet");
    downloadsNavigationController_ = addTab("Downloads");
    booksNavigationController_ = addTab("Library");
    documentsNavigationController_ = addTab("Import");
    settingsNavigationController_ = addTab("Settings");

    addWaitOverlay();
    setupDimmerView();
}

void MangaAppDelegate::setDownloadsBadge(const QString &value)
{
    tabBarController_->viewController(DownloadsTab)->tabBarItem()->setBadgeValue(value);
}

QString MangaAppDelegate::downloadsBadgeValue() const
{
    return tabBarController_->viewController(DownloadsTab)->tabBarItem()->badgeValue();
}

void MangaAppDelegate::incrementDownloadsBadgeNumber()
{
    // An empty badge counts as 0.
    setDownloadsBadge(QString::number(downloadsBadgeValue().toInt() + 1));
}

void MangaAppDelegate::decrementDownloadsBadgeNumber()
{
    const int n = downloadsBadgeValue().toInt() - 1;
    setDownloadsBadge(n > 0 ? QString::number(n) : QString());
}

void MangaAppDelegate::setDownloadsBadgeWithInteger(int n)
{
    setDownloadsBadge(QString::number(n));
}

void MangaAppDelegate::addWaitOverlay()
{
    if (!waitOverlay_)
        waitOverlay_ = new WaitOverlayView(window_.get());
}

void MangaAppDelegate::showWaitOverlayWithTitle(const QString &text)
{
    waitOverlay_->showWithText(text);
    // The dimmer dims the overlay too.
    if (dimmer_)
        dimmer_->raise();
}

void MangaAppDelegate::showWaitOverlay()
{
    showWaitOverlayWithTitle(WaitOverlayView::defaultText());
}

void MangaAppDelegate::hideWaitOverlay()
{
    waitOverlay_->hideAndReset();
}

QLabel *MangaAppDelegate::waitOverlayLabel() const
{
    return waitOverlay_->label();
}

void MangaAppDelegate::setupDimmerView()
{
    if (!dimmer_)
        dimmer_ = new DimmerView(window_.get());
    dimmer_->setAlpha(0.0);
}

void MangaAppDelegate::setDimmerAlpha(double alpha)
{
    dimmer_->setAlpha(alpha);
}
