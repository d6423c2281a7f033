#pragma once

#include <algorithm>
#include <memory>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>

#include "FakeChapterSite.h"
#include "download/DeducerFetcher.h"
#include "download/DeducerQueueWrapper.h"
#include "download/DownloadManager.h"
#include "download/DownloadServices.h"
#include "download/DownloadsProgressSink.h"
#include "download/FetcherQueueWrapper.h"
#include "foundation/NotificationCenter.h"
#include "settings/MyUserDefaults.h"
#include "sites/SiteConfig.h"
#include "store/AppData.h"
#include "support/EventLoop.h"
#include "support/HomeFixture.h"
#include "web/HttpRequest.h"

class RecordingSink : public DownloadsProgressSink
{
public:
    void setProgress(float progress) override { progressValues.push_back(progress); }
    void setProgressLabel(const QString &text) override { labels << text; }
    void setProgressTypeLabel(const QString &text) override { typeLabels << text; }
    std::vector<float> progressValues;
    QStringList labels;
    QStringList typeLabels;
};

// The program around the engine as a test wants it: its own store and
// settings, a badge that counts like the tab's (never below zero), switches
// for the network and the disk, and a record of library saves.
class TestServices : public DownloadServices
{
public:
    AppData &appData() override { return *store; }
    MyUserDefaults &userDefaults() override { return defaults; }
    void incrementDownloadsBadgeNumber() override { ++badge; }
    void decrementDownloadsBadgeNumber() override { badge = std::max(0, badge - 1); }
    void setIdleTimerDisabled(bool disabled) override { idleTimerDisabled = disabled; }
    bool checkReachability() override { return online; }
    bool diskSpaceOk(int) override { return diskOk; }
    std::shared_ptr<DownloadsProgressSink> progressSink() override { return sink; }
    void saveDownloadToLibrary(const std::shared_ptr<Download> &download) override
    {
        savedToLibrary << download->title();
    }

    std::unique_ptr<AppData> store = std::make_unique<AppData>();
    MyUserDefaults defaults;
    std::shared_ptr<RecordingSink> sink = std::make_shared<RecordingSink>();
    int badge = 0;
    bool idleTimerDisabled = false;
    bool online = true;
    bool diskOk = true;
    QStringList savedToLibrary;
};

// A page scan: white margins around a grey block, so that the margins found
// are known (content from column 40 to 160 of 200).
inline QByteArray scanImage(const char *format = "JPG")
{
    QImage image(200, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(40, 20, 120, 260, QColor(60, 60, 60));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 95);
    return bytes;
}

// Records the engine's notifications in the order they are posted.
class NotificationLog
{
public:
    NotificationLog()
    {
        for (const QString &name :
             {FetcherQueueWrapper::requestDidFinishNotification(),
              FetcherQueueWrapper::requestDidFailNotification(),
              FetcherQueueWrapper::requestDidFinishOrFailNotification(),
              FetcherQueueWrapper::queueDidFinishNotification(),
              FetcherQueueWrapper::queueDidFinishForNavChaptersNotification(),
              DeducerFetcher::deducerDidStartNotification(), DeducerFetcher::deducerDidFinishNotification(),
              DeducerFetcher::deducerDidFailNotification()})
            NotificationCenter::defaultCenter().addObserver(this, name, [this, name] { names << name; });
    }
    ~NotificationLog() { NotificationCenter::defaultCenter().removeObserver(this); }
    int count(const QString &name) const { return int(names.count(name)); }
    QStringList names;
};

class DownloadFixture : public HomeFixture
{
protected:
    void SetUp() override
    {
        HomeFixture::SetUp();
        MyDirectories::sharedMyDirectories().createDirectories();
        startProgram();
    }

    void TearDown() override
    {
        stopProgram();
        HttpRequest::setTimeOutOverride(0);
        SiteConfig::clearOverrides();
        HomeFixture::TearDown();
    }

    // One run of the program: a fresh store facade, settings and engine.
    void startProgram()
    {
        services = std::make_shared<TestServices>();
        ASSERT_TRUE(services->store->setup());
        manager = std::make_unique<DownloadManager>(services);
    }

    // Ends the run the way a killed program does: nothing more is stored.
    void stopProgram()
    {
        if (!manager)
            return;
        // A deduction that is already handing in its report must be let
        // through before its queue can be joined.
        auto &deductions = manager->deducerQueueWrapper().queue();
        deductions.cancelAllOperations();
        pumpEventsUntil([&] { return deductions.operationCount() == 0; });
        manager.reset();
        pumpEvents();
        services->store->closeStore();
        services.reset();
    }

    DeducerFetcher &deducerFetcher() { return manager->deducerFetcher(); }
    FetcherQueueWrapper &fetcher() { return manager->fetcherQueueWrapper(); }
    AppData &store() { return *services->store; }

    std::shared_ptr<Download> newDownload(const QString &title)
    {
        auto download = store().createDownloadWithRootTitle(QStringLiteral("Site"), QStringLiteral("Book"),
                                                            title, QStringLiteral("http://x/"),
                                                            Decimal::zero(), QDateTime::currentDateTime(), 0);
        download->setBook(store().downloadsBook());
        store().save();
        return download;
    }

    static std::vector<std::shared_ptr<Page>> sortedPages(const Download &download)
    {
        auto pages = download.pages();
        std::sort(pages.begin(), pages.end(),
                  [](const auto &a, const auto &b) { return a->number() < b->number(); });
        return pages;
    }

    QByteArray fileOf(const Page &page) { return readFile(store().pageFileName(page)); }
    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    bool waitUntilIdle()
    {
        return pumpEventsUntil([&] {
            return !deducerFetcher().isDeducing() && !fetcher().isDownloading() && !fetcher().isRunActive();
        });
    }

    std::shared_ptr<TestServices> services;
    std::unique_ptr<DownloadManager> manager;
};
