#pragma once

#include "ui/pages/OnePageViewController.h"

// The page slot of a download being read while it is fetched: a page not
// fetched yet shows "Page N" over a spinner until its request ends and the
// viewer reloads it.
// Thread contract: main thread only.
class DownloadOnePageViewController : public OnePageViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadOnePageViewController)

public:
    using OnePageViewController::OnePageViewController;

    bool pageIsDownloading() const { return pageIsDownloading_; }
    void loadPage(int index) override;

protected:
    void addErrorView() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void showPlaceholder();

    bool pageIsDownloading_ = false;
    QPointer<QWidget> placeholder_;
};
