#include <QDateTime>

#include "AppFixture.h"
#include "app/AppFunctions.h"
#include "app/AppWindow.h"
#include "settings/SettingsKeys.h"
#include "store/DownloadsRequest.h"
#include "ui/kit/TabBarController.h"
#include "web/AppleReachability.h"

namespace {

class LifeCycle : public AppFixture
{
};

TEST_F(LifeCycle, MinimisingSavesAndRestoringRecountsTheBadge)
{
    auto run = start();
    AppWindow *window = run->delegate->window();
    window->show();
    AppData &data = *run->appData;
    for (const auto &[downloading, queued] :
         {std::pair{false, true}, {false, true}, {true, false}, {false, false}}) {
        auto download = data.createDownloadWithRootTitle(QStringLiteral("MangaFox"), QStringLiteral("Book"),
                                                         QStringLiteral("c"), QStringLiteral("http://h/1"),
                                                         Decimal(1), QDateTime::currentDateTimeUtc(), 5);
        download->setBook(data.downloadsBook().get());
        download->setIsDownloading(downloading);
        download->setIsQueued(queued);
    }
    run->delegate->tabBarController()->setSelectedIndex(MangaAppDelegate::ImportTab);
    EXPECT_FALSE(settingsOnDisk()->boolForKey(SettingsKeys::cleanAppExit));

    window->setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(window->isInBackground());
    auto saved = settingsOnDisk();
    EXPECT_TRUE(saved->boolForKey(SettingsKeys::cleanAppExit));
    EXPECT_EQ(saved->integerForKey(SettingsKeys::lastTabVisited), MangaAppDelegate::ImportTab);
    EXPECT_EQ(run->delegate->downloadsBadgeValue(), QString());

    window->setWindowState(Qt::WindowNoState);
    EXPECT_FALSE(window->isInBackground());
    EXPECT_EQ(run->delegate->downloadsBadgeValue(), QStringLiteral("3"));
}

TEST_F(LifeCycle, QuittingSavesTheStoreWhenItHasChanges)
{
    {
        auto run = start();
        run->appData->createFavoriteWithTitle(QStringLiteral("Fav"), QStringLiteral("/fav"),
                                              QStringLiteral("http://h/"), QStringLiteral("MangaFox"));
        run->delegate->applicationWillTerminate();
        EXPECT_FALSE(run->appData->managedObjectContext()->hasChanges());
    }
    AppData fresh;
    EXPECT_EQ(fresh.managedObjectContext()->fetch<Favorite>(FetchRequest(AppData::FavoriteEntityName)).size(),
              1u);
    EXPECT_TRUE(settingsOnDisk()->boolForKey(SettingsKeys::cleanAppExit));
}

TEST_F(LifeCycle, ReachabilityFollowsTheInternetMonitor)
{
    auto run = start();
    ASSERT_TRUE(run->delegate->internetReachability());
    ASSERT_TRUE(run->delegate->wifiReachability());
    NetworkInterfaceState cable{QStringLiteral("eth0"), true, true, false, true};
    AppleReachability::setInterfaceOverride(std::vector<NetworkInterfaceState>{cable});
    EXPECT_TRUE(CheckReachability());
    cable.running = false; // plugged out
    AppleReachability::setInterfaceOverride(std::vector<NetworkInterfaceState>{cable});
    EXPECT_FALSE(CheckReachability());
    AppleReachability::setInterfaceOverride(std::nullopt);
}

} // namespace
