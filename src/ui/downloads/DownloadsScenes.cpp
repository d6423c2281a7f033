// The downloads screen's scenes for yomora-screenshots: records staged
// directly, so that every row kind shows without a site to fetch from.
#include <QDateTime>

#include "app/MangaAppDelegate.h"
#include "app/screenshots/ScreenshotScene.h"
#include "demo/DemoLibrary.h"
#include "download/DeducerErrorString.h"
#include "foundation/Localized.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "store/AppData.h"
#include "store/Download.h"
#include "ui/downloads/DownloadsProgressViews.h"
#include "ui/downloads/DownloadsViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TableView.h"

namespace {

DownloadsViewController *downloadsScreen(MangaAppDelegate &app)
{
    return qobject_cast<DownloadsViewController *>(app.downloadsNavigationController()->rootViewController());
}

// Oldest first: the list shows the newest at the top.
void stageDownloads(MangaAppDelegate &app)
{
    AppData &appData = app.appData();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    int age = 10;
    auto stamp = [&](const std::shared_ptr<Download> &download, const char *site) {
        download->setRootTitle(QLatin1String(site));
        download->setDate(now.addSecs(-60 * age--));
    };

    auto read =
        DemoLibrary::createDownload(appData, QStringLiteral("Blue Harbor"), QStringLiteral("2"), 6, 6);
    stamp(read, "mangafox");
    read->setLastPageRead(3);
    auto complete =
        DemoLibrary::createDownload(appData, QStringLiteral("Blue Harbor"), QStringLiteral("3"), 6, 6);
    stamp(complete, "mangafox");
    auto incomplete =
        DemoLibrary::createDownload(appData, QStringLiteral("Blue Harbor"), QStringLiteral("4"), 6, 4);
    stamp(incomplete, "mangareader");
    incomplete->setIsDownloading(false);

    auto failed = appData.createDownloadWithRootTitle(
        QStringLiteral("mangahere"), QStringLiteral("Paper Lanterns"), QStringLiteral("Paper Lanterns 12"),
        QStringLiteral("http://demo.localhost/"), Decimal::fromString(QStringLiteral("12")), now, 0);
    failed->setBook(appData.downloadsBook());
    stamp(failed, "mangahere");
    SetDeducerErrorString(*failed, localized("Cannot deduce website?"));

    auto active =
        DemoLibrary::createDownload(appData, QStringLiteral("Blue Harbor"), QStringLiteral("5"), 20, 12);
    stamp(active, "mangafox");

    for (const char *number : {"6", "7"}) {
        auto queued = appData.createDownloadWithRootTitle(
            QStringLiteral("mangafox"), QStringLiteral("Blue Harbor"),
            QStringLiteral("Blue Harbor ") + QLatin1String(number), QStringLiteral("http://demo.localhost/"),
            Decimal::fromString(QString::fromLatin1(number)), now, 0);
        queued->setBook(appData.downloadsBook());
        queued->setIsQueued(true);
        stamp(queued, "mangafox");
    }
    appData.save();

    DownloadsProgressViews &progress = *downloadsScreen(app)->progressViews();
    progress.setProgressTypeLabel(localized("Downloading..."));
    progress.setProgressLabel(QStringLiteral("12/20"));
    progress.setProgress(0.6f);
}

void openDownloads(MangaAppDelegate &app)
{
    // The notice has a run of its own; these scenes show the rows.
    app.userDefaults().setBool(true, SettingsKeys::showDownloadsHelpViewed);
    stageDownloads(app);
    app.tabBarController()->setSelectedIndex(MangaAppDelegate::DownloadsTab);
    ScreenshotScene::settle(100);
}

const ScreenshotScene::Registrar scenes{
    {QStringLiteral("downloads-states"), [](MangaAppDelegate &app) { openDownloads(app); }},
    {QStringLiteral("downloads-editing"),
     [](MangaAppDelegate &app) {
         openDownloads(app);
         downloadsScreen(app)->setEditing(true);
         ScreenshotScene::settle(100);
     }},
    {QStringLiteral("downloads-save-panel"),
     [](MangaAppDelegate &app) {
         openDownloads(app);
         DownloadsViewController *screen = downloadsScreen(app);
         screen->setEditing(true);
         // The complete, unread chapter 3, below the two waiting ones, the
         // active one and the failed one.
         for (int row = 0; row < int(screen->downloads().size()); ++row) {
             if (screen->downloads()[row]->isComplete() && screen->downloads()[row]->lastPageRead() < 0) {
                 screen->tableView()->tapRow({0, row});
                 break;
             }
         }
         ScreenshotScene::settle(100);
     }},
};

} // namespace
