#include "ui/AppRuns.h"

#include <gmock/gmock.h>

#include <QFileInfo>

#include "app/AppWindow.h"
#include "download/LibraryQueues.h"
#include "files/MyDirectories.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "store/AppData.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBarController.h"
#include "ui/settings/SettingsViewController.h"

AppRuns::AppRuns(Device::Idiom idiom, bool hasSwipe, Store store) : idiom_(idiom), store_(store)
{
    Device::setHasSwipe(hasSwipe);
    Alerts::install(alerts);
    UrlOpener::install(links);
}

AppRuns::~AppRuns()
{
    stop();
    Alerts::install(nullptr);
    UrlOpener::install(nullptr);
    Device::setHasSwipe(true);
    Device::setIdiom(Device::Idiom::Phone);
    Device::setOrientation(Device::Portrait);
    MyDirectories::setRootDirectory({});
}

MangaAppDelegate *AppRuns::start()
{
    stop();
    AppOptions options;
    options.idiom = idiom_;
    options.root = root_.path();
    seedSettings();
    appData_ = std::make_unique<AppData>();
    defaults_ = std::make_unique<MyUserDefaults>();
    app_ = std::make_unique<MangaAppDelegate>(options);
    if (store_ == Store::Own)
        app_->setAppData(appData_.get());
    app_->setUserDefaults(defaults_.get());
    EXPECT_TRUE(app_->applicationDidFinishLaunching());
    app_->window()->show();
    return app_.get();
}

void AppRuns::seedSettings()
{
    // The app opens on the Internet tab, whose first visit shows the
    // uninstall notice; a screen's test would find it among its own alerts.
    // The Internet screens' tests ask for it themselves.
    MyDirectories::setRootDirectory(root_.path());
    MyDirectories &dirs = MyDirectories::sharedMyDirectories();
    dirs.createDirectories();
    const QString path = dirs.preferencesDirectory() + QStringLiteral("/userDefaults");
    if (QFileInfo::exists(path))
        return;
    MyUserDefaults file;
    file.setFilename(path);
    file.setBool(false, SettingsKeys::showDeleteMessage);
    file.synchronize();
}

void AppRuns::stop()
{
    const bool started = app_ != nullptr;
    app_.reset();
    if (started && store_ == Store::Shared) {
        LibraryQueues::destroy();
        AppData::sharedAppData().closeStore();
    }
    appData_.reset();
    defaults_.reset();
    Device::setOrientation(Device::Portrait);
}

AppData &AppRuns::appData() const
{
    return app_->appData();
}

SettingsViewController *AppRuns::openSettings() const
{
    app_->tabBarController()->setSelectedIndex(MangaAppDelegate::SettingsTab);
    return qobject_cast<SettingsViewController *>(app_->settingsNavigationController()->rootViewController());
}

QVariant AppRuns::stored(QLatin1String key) const
{
    MyUserDefaults file;
    file.setFilename(defaults_->filename());
    return file.objectForKey(key);
}
