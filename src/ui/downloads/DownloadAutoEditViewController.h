#pragma once

#include <memory>

#include "ui/kit/ScreenServices.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

class Download;
class DownloadAutoEditViewControllerDelegate;
class QAction;
class TableView;

// "Save to Library": shows where a finished download will go (its source,
// its manga and its chapter) and, on Save, moves it into the library. The
// download record is gone afterwards, so the panel returns to the root of
// its stack rather than to whatever showed the download.
// Thread contract: main thread only.
class DownloadAutoEditViewController : public ViewController,
                                       public TableViewDataSource,
                                       public TableViewDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadAutoEditViewController)

public:
    DownloadAutoEditViewController(std::shared_ptr<Download> download, ScreenServices services,
                                   QWidget *parent = nullptr);
    ~DownloadAutoEditViewController() override;

    const std::shared_ptr<Download> &download() const { return download_; }
    DownloadAutoEditViewControllerDelegate *delegate() const { return delegate_; }
    void setDelegate(DownloadAutoEditViewControllerDelegate *delegate) { delegate_ = delegate; }
    TableView *tableView() const { return tableView_; }
    QAction *saveButton() const { return saveAction_; }
    QAction *cancelButton() const { return cancelAction_; }

    // The two buttons of the navigation bar. False when the mover refused
    // the download (it has said why); the panel then stays.
    bool save();
    void cancel();

    // TableViewDataSource
    int numberOfSections() override { return 2; }
    int numberOfRows(int section) override;
    TableCell cellForRow(const IndexPath &path) override;
    // TableViewDelegate
    int heightForRow(const IndexPath &path) override;
    bool willSelectRow(const IndexPath &) override { return false; }

protected:
    void viewDidLoad() override;

private:
    std::shared_ptr<Download> download_;
    ScreenServices services_;
    DownloadAutoEditViewControllerDelegate *delegate_ = nullptr;
    TableView *tableView_ = nullptr; // widgets are QObject children
    QAction *saveAction_ = nullptr;
    QAction *cancelAction_ = nullptr;
};
