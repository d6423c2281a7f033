#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "download/DeducerFetcher.h"
#include "download/DownloadManager.h"
#include "download/DownloadServices.h"
#include "download/EngineStartUp.h"
#include "download/LibraryQueues.h"
#include "download/RemovePathsQueueWrapper.h"
#include "files/HomeTreeLock.h"
#include "settings/MyUserDefaults.h"
#include "store/AppData.h"
#include "store/DownloadsRequest.h"
#include "support/EventLoop.h"
#include "support/HomeFixture.h"

namespace {

// The shared store, as the library's queue wrappers use it, with settings
// of this run's own.
class SharedStoreServices : public DownloadServices
{
public:
    MyUserDefaults &userDefaults() override { return defaults; }
    MyUserDefaults defaults;
};

class EngineStartUpTest : public HomeFixture
{
protected:
    void TearDown() override
    {
        stop();
        HomeFixture::TearDown();
    }

    // One program's start on the tree.
    EngineStartUp::Result start(EngineStartUp::ResumeOffer offer)
    {
        stop();
        services = std::make_shared<SharedStoreServices>();
        manager = std::make_unique<DownloadManager>(services);
        return EngineStartUp::start(*manager, root.path(), offer);
    }

    void stop()
    {
        LibraryQueues::destroy();
        pumpEvents();
        manager.reset();
        AppData::sharedAppData().closeStore();
    }

    static std::shared_ptr<Download> addDownload(const QString &title, int minutesAgo)
    {
        AppData &appData = AppData::sharedAppData();
        auto download = appData.createDownloadWithRootTitle(
            QStringLiteral("Site"), QStringLiteral("Book"), title, QStringLiteral("http://h/1"), Decimal(1),
            QDateTime::currentDateTimeUtc().addSecs(-60 * minutesAgo), 1);
        download->setBook(appData.downloadsBook());
        return download;
    }

    std::shared_ptr<SharedStoreServices> services;
    std::unique_ptr<DownloadManager> manager;
};

TEST_F(EngineStartUpTest, AStartSettlesWhatAKilledRunLeftAndKeepsTheResumeOfferForTheApplication)
{
    {
        auto first = start(EngineStartUp::ResumeOffer::Take);
        ASSERT_FALSE(first.error);
        addDownload(QStringLiteral("older"), 10)->setIsDownloading(true);
        addDownload(QStringLiteral("newest"), 1)->setIsDownloading(true);
        addDownload(QStringLiteral("waiting"), 5)->setIsQueued(true);
        ASSERT_FALSE(AppData::sharedAppData().save());
    }
    // A folder whose records' deletion was stored before the run was killed.
    const QString orphan = MyDirectories::sharedMyDirectories().imagesDirectory() + QStringLiteral("/gone");
    ASSERT_TRUE(QDir().mkpath(orphan));
    RemovePathsQueueWrapper::writeRemovePaths({orphan});

    // A command-line program: it cannot offer to resume anything.
    auto cli = start(EngineStartUp::ResumeOffer::Keep);
    ASSERT_FALSE(cli.error);
    ASSERT_TRUE(cli.lock);
    EXPECT_FALSE(cli.downloadToResume);
    for (const auto &download :
         AppData::sharedAppData().managedObjectContext()->fetch<Download>(DownloadsRequest()))
        EXPECT_FALSE(download->isDownloading()) << download->title().toStdString();
    ASSERT_EQ(manager->deducerFetcher().waitQueueSize(), 1);
    EXPECT_EQ(manager->deducerFetcher().frontOfWaitQueue()->title(), QStringLiteral("waiting"));
    EXPECT_TRUE(pumpEventsUntil([&] { return !QFileInfo::exists(orphan); }));

    // While it runs, nothing else starts on the tree.
    DownloadManager other(std::make_shared<SharedStoreServices>());
    const auto refused = EngineStartUp::start(other, root.path(), EngineStartUp::ResumeOffer::Take);
    ASSERT_TRUE(refused.error);
    EXPECT_EQ(refused.error->code, EngineStartUp::TreeInUse);
    EXPECT_TRUE(refused.error->message.contains(MyDirectories::sharedMyDirectories().homeDirectory()));
    EXPECT_FALSE(refused.lock);
    cli.lock.reset();

    // The application, started next, still offers the newest one, once.
    auto app = start(EngineStartUp::ResumeOffer::Take);
    ASSERT_TRUE(app.downloadToResume);
    EXPECT_EQ(app.downloadToResume->title(), QStringLiteral("newest"));
    app.lock.reset();
    auto again = start(EngineStartUp::ResumeOffer::Take);
    EXPECT_FALSE(again.downloadToResume);
    EXPECT_TRUE(alerts->isEmpty());
}

} // namespace
