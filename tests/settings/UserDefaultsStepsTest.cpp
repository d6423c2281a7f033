#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "files/MyDirectories.h"
#include "foundation/Device.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "settings/UserDefaultsSteps.h"

namespace {

class UserDefaultsStepsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        MyDirectories::setRootDirectory(root.path());
        MyDirectories::sharedMyDirectories().createDirectories();
    }
    void TearDown() override
    {
        MyDirectories::setRootDirectory({});
        Device::setIdiom(Device::Idiom::Phone);
    }

    QString settingsPath() const
    {
        return MyDirectories::sharedMyDirectories().preferencesDirectory() + QStringLiteral("/userDefaults");
    }

    QTemporaryDir root;
};

} // namespace

TEST_F(UserDefaultsStepsTest, FreshInstallReadsTheDeviceDefaults)
{
    const struct {
        Device::Idiom idiom;
        bool cropPage;
        double pageSize;
    } cases[] = {{Device::Idiom::Phone, true, 1.0}, {Device::Idiom::Pad, false, 0.7}};
    for (const auto &c : cases) {
        Device::setIdiom(c.idiom);
        MyUserDefaults defaults;
        defaults.setFilename(settingsPath());
        EXPECT_EQ(loadUserDefaults(defaults), (QList<int>{-1, -1}));
        EXPECT_EQ(defaults.boolForKey(SettingsKeys::cropPage), c.cropPage);
        EXPECT_DOUBLE_EQ(defaults.floatForKey(SettingsKeys::portraitPageSize), c.pageSize);
    }
}

TEST_F(UserDefaultsStepsTest, OnlyACleanExitRestoresThePosition)
{
    {
        MyUserDefaults defaults;
        defaults.setFilename(settingsPath());
        loadUserDefaults(defaults);
        defaults.setInteger(5, SettingsKeys::downloadsRestoreLocation);
        defaults.setBool(false, SettingsKeys::chaptersHelp.show);
        defaults.setBool(true, SettingsKeys::chaptersHelp.viewed);
        saveUserDefaults(defaults, 2, {3, 7});
    }
    {
        MyUserDefaults defaults;
        defaults.setFilename(settingsPath());
        EXPECT_EQ(loadUserDefaults(defaults), (QList<int>{3, 7}));
        EXPECT_EQ(defaults.integerForKey(SettingsKeys::downloadsRestoreLocation), 5);
        EXPECT_EQ(defaults.integerForKey(SettingsKeys::lastTabVisited), 2);
        EXPECT_FALSE(defaults.boolForKey(SettingsKeys::chaptersHelp.show)) << "the ticked box is remembered";
        EXPECT_FALSE(defaults.boolForKey(SettingsKeys::chaptersHelp.viewed)) << "viewed only within a run";
        // The start completes, then the program is killed before any save.
        defaults.setBool(false, SettingsKeys::cleanAppExit);
        defaults.synchronize();
    }
    MyUserDefaults defaults;
    defaults.setFilename(settingsPath());
    EXPECT_EQ(loadUserDefaults(defaults), (QList<int>{-1, -1}));
    EXPECT_EQ(defaults.integerForKey(SettingsKeys::downloadsRestoreLocation), -1);
    EXPECT_EQ(defaults.integerForKey(SettingsKeys::lastTabVisited), 2);
}

TEST_F(UserDefaultsStepsTest, UpgradeFlagsEmptyTheCacheUntilTheFirstSave)
{
    const QString cache = MyDirectories::sharedMyDirectories().cacheDirectory();
    auto fillCache = [&] {
        QDir(cache).mkpath(QStringLiteral("nested"));
        QFile list(cache + QStringLiteral("/mf_popular_1"));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    };
    fillCache();
    MyUserDefaults defaults;
    defaults.setFilename(settingsPath());
    loadUserDefaults(defaults);
    EXPECT_TRUE(QDir(cache).isEmpty());
    saveUserDefaults(defaults, 0, {-1, -1});

    fillCache();
    MyUserDefaults later;
    later.setFilename(settingsPath());
    loadUserDefaults(later);
    EXPECT_FALSE(QDir(cache).isEmpty());
}
