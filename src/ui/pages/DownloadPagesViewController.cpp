#include "ui/pages/DownloadPagesViewController.h"

#include "download/FetcherQueueWrapper.h"
#include "foundation/NotificationCenter.h"
#include "store/Download.h"
#include "ui/pages/DownloadOnePageViewController.h"

DownloadPagesViewController::~DownloadPagesViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

std::unique_ptr<OnePageViewController> DownloadPagesViewController::createPageViewController()
{
    return std::make_unique<DownloadOnePageViewController>(pagesData(), services(), &loader());
}

void DownloadPagesViewController::viewWillAppear()
{
    PagesViewController::viewWillAppear();
    NotificationCenter &center = NotificationCenter::defaultCenter();
    center.addObserver(this, FetcherQueueWrapper::requestDidFinishNotification(),
                       [this] { requestDidEnd(); });
    center.addObserver(this, FetcherQueueWrapper::requestDidFailNotification(), [this] { requestDidEnd(); });
    center.addObserver(this, FetcherQueueWrapper::queueDidFinishNotification(), [this] { queueDidFinish(); });
}

void DownloadPagesViewController::viewWillDisappear()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    PagesViewController::viewWillDisappear();
}

void DownloadPagesViewController::requestDidEnd()
{
    auto *slot = qobject_cast<DownloadOnePageViewController *>(currentPageViewController());
    if (slot && slot->pageIsDownloading())
        slot->reloadPage();
}

bool DownloadPagesViewController::chapterIsDownloading() const
{
    const auto download = std::dynamic_pointer_cast<Download>(chapter());
    return download && download->isDownloading();
}

void DownloadPagesViewController::queueDidFinish()
{
    if (chapter() && !chapterIsDownloading()) {
        createSaveButton();
        setShowDeleteActionSheet(true);
    }
}

void DownloadPagesViewController::gotoNextChapter()
{
    const bool moving = nextChapter() != nullptr;
    PagesViewController::gotoNextChapter();
    if (!moving)
        return;
    if (chapterIsDownloading()) {
        removeSaveButton();
        setShowDeleteActionSheet(false);
    } else {
        setShowDeleteActionSheet(true);
        createSaveButton();
    }
}
