#include "app/AppStartUpParts.h"

#include "app/MangaAppDelegate.h"
#include "download/DownloadsProgressSink.h"
#include "ui/downloads/DownloadsViewController.h"
#include "ui/kit/NavigationController.h"

DownloadsViewController *AppStartUpParts::downloadsScreen() const
{
    NavigationController *nav = delegate_.downloadsNavigationController();
    return nav ? qobject_cast<DownloadsViewController *>(nav->rootViewController()) : nullptr;
}

void AppStartUpParts::createProgressViews()
{
    if (DownloadsViewController *screen = downloadsScreen())
        screen->createProgressViews();
}

std::shared_ptr<DownloadsProgressSink> AppStartUpParts::progressSink() const
{
    DownloadsViewController *screen = downloadsScreen();
    return screen ? screen->progressSink() : nullptr;
}

bool AppStartUpParts::doResumeDownload() const
{
    DownloadsViewController *screen = downloadsScreen();
    return screen ? screen->doResumeDownload() : StartUpParts::doResumeDownload();
}

void AppStartUpParts::offerToResume(std::shared_ptr<Download> download)
{
    DownloadsViewController *screen = downloadsScreen();
    if (!screen) {
        StartUpParts::offerToResume(std::move(download));
        return;
    }
    screen->setDoResumeDownload(true);
    screen->setDownloadToResumeFromAlert(std::move(download));
}

std::shared_ptr<Download> AppStartUpParts::downloadToResumeFromAlert() const
{
    DownloadsViewController *screen = downloadsScreen();
    return screen ? screen->downloadToResumeFromAlert() : StartUpParts::downloadToResumeFromAlert();
}

void AppStartUpParts::restoreDownloadsLocation(int row)
{
    if (DownloadsViewController *screen = downloadsScreen())
        screen->restoreLocationWithSelection(row);
}
