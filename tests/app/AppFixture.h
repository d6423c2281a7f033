#pragma once

#include <memory>

#include <QStringList>

#include "app/MangaAppDelegate.h"
#include "app/StartUpParts.h"
#include "settings/MyUserDefaults.h"
#include "store/AppData.h"
#include "support/HomeFixture.h"

// Start-up parts that write down what the delegate asked of them.
class RecordingParts : public StartUpParts
{
public:
    explicit RecordingParts(QStringList *log) : log_(log) {}
    void createProgressViews() override { *log_ << QStringLiteral("progressViews"); }
    void restoreDownloadsLocation(int row) override { *log_ << QStringLiteral("downloads %1").arg(row); }
    void restoreLibraryLocation(const QList<int> &s) override
    {
        *log_ << QStringLiteral("library %1 %2").arg(s.value(0)).arg(s.value(1));
    }

private:
    QStringList *log_;
};

// One temporary root; each run() is one start of the program on it, with
// its own store facade and settings as a new process would have.
class AppFixture : public HomeFixture
{
protected:
    struct Run {
        std::unique_ptr<AppData> appData;
        std::unique_ptr<MyUserDefaults> defaults;
        std::unique_ptr<MangaAppDelegate> delegate;
        QStringList log;
        RecordingParts *parts = nullptr;
    };

    std::unique_ptr<Run> start()
    {
        auto run = std::make_unique<Run>();
        AppOptions options;
        options.root = root.path();
        run->appData = std::make_unique<AppData>();
        run->defaults = std::make_unique<MyUserDefaults>();
        run->delegate = std::make_unique<MangaAppDelegate>(options);
        run->delegate->setAppData(run->appData.get());
        run->delegate->setUserDefaults(run->defaults.get());
        auto parts = std::make_unique<RecordingParts>(&run->log);
        run->parts = parts.get();
        run->delegate->setStartUpParts(std::move(parts));
        EXPECT_TRUE(run->delegate->applicationDidFinishLaunching());
        return run;
    }

    // The settings as the file holds them now.
    std::unique_ptr<MyUserDefaults> settingsOnDisk() const
    {
        auto defaults = std::make_unique<MyUserDefaults>();
        defaults->setFilename(MyDirectories::sharedMyDirectories().preferencesDirectory() +
                              QStringLiteral("/userDefaults"));
        return defaults;
    }
};
