#pragma once

#include <memory>

#include <QTemporaryDir>
#include <QVariant>

#include "app/MangaAppDelegate.h"
#include "foundation/Alerts.h"
#include "foundation/Device.h"
#include "foundation/UrlOpener.h"

class AppData;
class MyUserDefaults;
class SettingsViewController;

// Runs of the application on one home tree, for screen tests: each run has
// its own store facade and settings object, which reads the settings file
// afresh, as a new process would. Alerts and outside links are recorded
// rather than shown or opened.
class AppRuns
{
public:
    // Each run has a store of its own, or all use the application's shared
    // store, as the bulk actions do.
    enum class Store { Own, Shared };

    explicit AppRuns(Device::Idiom idiom = Device::Idiom::Phone, bool hasSwipe = true,
                     Store store = Store::Own);
    ~AppRuns();
    AppRuns(const AppRuns &) = delete;
    AppRuns &operator=(const AppRuns &) = delete;

    // Launches a run and shows its window; a run still going is ended first.
    MangaAppDelegate *start();
    // Ends the run without saving, as a crash or a kill would.
    void stop();

    MangaAppDelegate *app() const { return app_.get(); }
    MyUserDefaults &defaults() const { return *defaults_; }
    AppData &appData() const;
    QString rootPath() const { return root_.path(); }
    SettingsViewController *openSettings() const;
    // What the settings file holds now, read as the next start would.
    QVariant stored(QLatin1String key) const;

    std::shared_ptr<AlertRecorder> alerts = std::make_shared<AlertRecorder>();
    std::shared_ptr<UrlOpenerRecorder> links = std::make_shared<UrlOpenerRecorder>();

private:
    void seedSettings();
    Device::Idiom idiom_;
    Store store_;
    QTemporaryDir root_;
    std::unique_ptr<AppData> appData_;
    std::unique_ptr<MyUserDefaults> defaults_;
    std::unique_ptr<MangaAppDelegate> app_;
};
