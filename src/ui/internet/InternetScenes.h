#pragma once

// What the Internet tab's screenshot scenes share: the demo site running in
// the renderer's process with every site pointed at it, a wait for the
// screens' fetches, and the tab opened without its first-visit notice.
// Included by the scene files only.
#include <functional>
#include <memory>

#include <QElapsedTimer>

#include "app/MangaAppDelegate.h"
#include "app/screenshots/ScreenshotScene.h"
#include "demo/DemoSite.h"
#include "settings/SettingsKeys.h"
#include "sites/SiteConfig.h"
#include "ui/internet/NavRootViewController.h"
#include "ui/kit/MyHelpAlertViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBarController.h"

namespace InternetScenes {

inline const DemoSite &demoSite()
{
    static const std::unique_ptr<DemoSite> site = [] {
        auto demo = std::make_unique<DemoSite>(DemoSite::Options{});
        const std::pair<SiteConfig::Site, const char *> sites[] = {
            {SiteConfig::Site::MangaFox, "mangafox"},
            {SiteConfig::Site::MangaReader, "mangareader"},
            {SiteConfig::Site::MangaHere, "mangahere"},
            {SiteConfig::Site::OneManga, "onemanga"}};
        for (const auto &[which, name] : sites)
            if (const DemoLayout *layout = demo->layout(QString::fromLatin1(name)))
                SiteConfig::setOverride(which, layout->baseURL());
        return demo;
    }();
    return *site;
}

inline void waitUntil(const std::function<bool()> &done, int milliseconds = 8000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds)
        ScreenshotScene::settle(20);
}

inline NavRootViewController *openInternet(MangaAppDelegate &app)
{
    demoSite();
    app.tabBarController()->setSelectedIndex(MangaAppDelegate::InternetTab);
    auto *root =
        qobject_cast<NavRootViewController *>(app.internetNavigationController()->rootViewController());
    // The scenes show the screens, not the first-visit notices.
    root->alertViewController()->dismiss(app.userDefaults(), SettingsKeys::basicHelp);
    return root;
}

} // namespace InternetScenes
