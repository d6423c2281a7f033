#pragma once

#include "ui/pages/PagesViewController.h"

// The viewer on a download, readable while it is still being fetched: a page
// not fetched yet waits behind a placeholder and appears as soon as its
// request ends; once the download has finished, the chapter can be saved
// from the navigation bar and the end-of-chapter menu.
// Thread contract: main thread only; the download engine's notifications
// arrive on the main thread.
class DownloadPagesViewController : public PagesViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadPagesViewController)

public:
    using PagesViewController::PagesViewController;
    ~DownloadPagesViewController() override;

    void gotoNextChapter() override;

protected:
    std::unique_ptr<OnePageViewController> createPageViewController() override;
    void viewWillAppear() override;
    void viewWillDisappear() override;

private:
    void requestDidEnd();
    void queueDidFinish();
    bool chapterIsDownloading() const;
};
