#pragma once

#include <memory>
#include <vector>

#include <QDateTime>
#include <QFile>
#include <QStringList>

#include "download/LibraryQueues.h"
#include "files/FSStats.h"
#include "foundation/NotificationCenter.h"
#include "foundation/WaitOverlay.h"
#include "store/AppData.h"
#include "store/DownloadsRequest.h"
#include "support/EventLoop.h"
#include "support/HomeFixture.h"

// Remembers what the engine did with the wait overlay.
class RecordingWaitOverlay : public WaitOverlay
{
public:
    void show() override
    {
        shown = true;
        ++shows;
    }
    void hide() override { shown = false; }
    void setLabelText(const QString &text) override { labels << text; }

    bool shown = false;
    int shows = 0;
    QStringList labels;
};

// A fresh home tree with the shared store open, the library's queue
// wrappers dropped after each test, the wait overlay recorded and plenty of
// free space reported.
class LibraryFixture : public HomeFixture
{
protected:
    void SetUp() override
    {
        HomeFixture::SetUp();
        MyDirectories::sharedMyDirectories().createDirectories();
        WaitOverlay::install(overlay);
        FSStats::setFreeSpaceOverride(quint64(100) << 30);
        ASSERT_TRUE(appData().setup());
    }

    void TearDown() override
    {
        LibraryQueues::destroy();
        pumpEvents();
        NotificationCenter::defaultCenter().removeObserver(this);
        appData().closeStore();
        FSStats::setFreeSpaceOverride(std::nullopt);
        WaitOverlay::install(nullptr);
        HomeFixture::TearDown();
    }

    static AppData &appData() { return AppData::sharedAppData(); }
    static ManagedObjectContext &context() { return *appData().managedObjectContext(); }

    // A download of the downloads book with `pages` page files on disk
    // ("000.jpg"...), created `age` minutes ago. Saved.
    std::shared_ptr<Download> addDownload(const QString &bookTitle, const QString &rootTitle,
                                          const char *number, int pages = 3, bool complete = true,
                                          int lastPageRead = -1, int age = 0)
    {
        auto download = appData().createDownloadWithRootTitle(
            rootTitle, bookTitle, bookTitle + u' ' + QLatin1String(number), QStringLiteral("http://x/1"),
            Decimal::fromString(QString(QLatin1String(number))),
            QDateTime::currentDateTimeUtc().addSecs(-60 * age), pages);
        download->setBook(appData().downloadsBook());
        download->setIsComplete(complete);
        download->setLastPageRead(lastPageRead);
        for (int i = 0; i < pages; ++i) {
            auto page =
                appData().createPageWithUrlString(QStringLiteral("http://x/%1.jpg").arg(i), i, 10, 20);
            page->setIsDownloaded(true);
            page->setChapter(download);
            appData().writeData(QByteArray("page ") + QByteArray::number(i), *page);
        }
        EXPECT_FALSE(appData().save());
        return download;
    }

    std::vector<std::shared_ptr<Download>> downloads()
    {
        return context().fetch<Download>(DownloadsRequest());
    }

    // Forgets everything unsaved and opens the store again, as a new run.
    void restart()
    {
        LibraryQueues::destroy();
        appData().closeStore();
        ASSERT_TRUE(appData().setup());
    }

    std::shared_ptr<RecordingWaitOverlay> overlay = std::make_shared<RecordingWaitOverlay>();
};
