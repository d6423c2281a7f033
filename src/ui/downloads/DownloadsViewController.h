#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QTimer>

#include "download/DownloadsDeleterController.h"
#include "download/DownloadsMoverController.h"
#include "ui/downloads/DownloadAutoEditViewControllerDelegate.h"
#include "ui/kit/IndexPath.h"
#include "ui/kit/ScreenServices.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"
#include "ui/pages/PagesViewControllerDelegate.h"

class Download;
class DownloadManager;
class DownloadsProgressSink;
class DownloadsProgressViews;
class MyHelpAlertViewController;
class MyUserDefaults;
class QPushButton;
class TableView;

// The Downloads tab: every download, newest first, with the state of each
// and the live progress of the active one. Rows can be retried, removed,
// read (also while they are still being fetched) and saved into the library;
// edit mode adds the bulk delete and save. The screen owns the progress
// views the engine writes into from start-up on, answers the viewer's
// questions about the next chapter when a download is read, and offers to
// resume a download that the last run left unfinished.
// Thread contract: main thread only; the engine's notifications arrive on
// the main thread.
class DownloadsViewController : public ViewController,
                                public TableViewDataSource,
                                public TableViewDelegate,
                                public PagesViewControllerDelegate,
                                public DownloadsMoverControllerDelegate,
                                public DownloadsDeleterControllerDelegate,
                                public DownloadAutoEditViewControllerDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadsViewController)

public:
    DownloadsViewController(ScreenServices services, DownloadManager &manager, QWidget *parent = nullptr);
    ~DownloadsViewController() override;

    // Start-up: the bar and labels exist before the screen is first shown.
    void createProgressViews();
    std::shared_ptr<DownloadsProgressSink> progressSink() const;
    const std::shared_ptr<DownloadsProgressViews> &progressViews() const { return progressViews_; }

    // Start-up: the download the last run left unfinished, offered for
    // resuming once the screen appears with nothing active.
    bool doResumeDownload() const { return doResumeDownload_; }
    void setDoResumeDownload(bool doResume) { doResumeDownload_ = doResume; }
    const std::shared_ptr<Download> &downloadToResumeFromAlert() const { return downloadToResumeFromAlert_; }
    void setDownloadToResumeFromAlert(std::shared_ptr<Download> download)
    {
        downloadToResumeFromAlert_ = std::move(download);
    }
    // Start-up: reopens the download at `row` in the viewer, as it was
    // being read when the last run ended.
    void restoreLocationWithSelection(int row);

    const std::vector<std::shared_ptr<Download>> &downloads() const { return downloads_; }
    TableView *tableView() const { return tableView_; }
    MyHelpAlertViewController *alertViewController() const { return alertViewController_; }
    QWidget *editingHeader() const { return editingHeader_; }
    QPushButton *deleteButton() const { return deleteButton_; }
    QPushButton *saveToLibraryButton() const { return saveToLibraryButton_; }
    DownloadsMoverController *downloadsMoverController() const { return downloadsMoverController_.get(); }
    DownloadsDeleterController *downloadsDeleterController() const
    {
        return downloadsDeleterController_.get();
    }

    // "%@ / %@": the book and the chapter, the book's title taken out of
    // the chapter's where a site repeats it.
    static QString stringForDownloadCell(const Download &download);
    // Whether the download shown at `row` can be opened now.
    bool canOpenRow(int row) const;

    void retryAction(int row);
    // False when refused; the alerts say why when asked to show them.
    bool retryWithDownload(const std::shared_ptr<Download> &download, bool showAlert = true);
    void moveDownloadsAction();
    void deleteDownloadsAction();
    void showResumeDownloadAlert();
    void setEditing(bool editing) override;

    // TableViewDataSource
    int numberOfRows(int section) override;
    TableCell cellForRow(const IndexPath &path) override;
    void commitDeleteRow(const IndexPath &path) override;
    // TableViewDelegate
    int heightForRow(const IndexPath &path) override;
    bool willSelectRow(const IndexPath &path) override;
    void didSelectRow(const IndexPath &path) override;
    void rowButtonTapped(const IndexPath &path) override { retryAction(path.row); }

    // PagesViewControllerDelegate
    bool pagesViewControllerHasNextChapter(PagesViewController *viewer) override;
    void pagesViewControllerWillGotoNextChapter(PagesViewController *viewer) override;
    void pagesViewControllerSaveChapter(PagesViewController *viewer) override;
    void pagesViewControllerDeleteChapter(PagesViewController *viewer) override;
    // DownloadsMoverControllerDelegate, DownloadsDeleterControllerDelegate
    void downloadsMoverDidFinish(DownloadsMoverController &controller) override;
    void downloadsDeleterDidFinish(DownloadsDeleterController &controller) override;
    // DownloadAutoEditViewControllerDelegate
    void downloadAutoEditViewControllerDidSave(DownloadAutoEditViewController *controller) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidAppear() override;
    void viewWillDisappear() override;

private:
    // False after the fatal alert when the store could not list them.
    bool fetchDownloads();
    void reload();
    void progressChanged();
    void repaintActiveRow();
    void showDownloadsHelp();
    void addToNotifications();
    void removeFromNotifications();
    void requestDidFinishOrFail();
    void queueDidFinish();
    // Pushes the viewer on the download; the library viewer when restoring.
    void openDownload(const std::shared_ptr<Download> &download, bool restoring);
    void openSavePanel(const std::shared_ptr<Download> &download);
    // The page fetcher is running: it saves the store often and carries
    // what the screen changes with its own saves.
    bool fetchIsRunning() const;
    void saveUnlessFetching();
    int rowOf(const std::shared_ptr<Download> &download) const;
    std::optional<int> activeRow() const;
    MyUserDefaults &userDefaults() const;

    ScreenServices services_;
    DownloadManager &manager_;
    std::shared_ptr<DownloadsProgressViews> progressViews_;
    // The engine reports every page, many a second on a fast line; the row
    // is drawn again at most once a frame.
    QTimer progressRepaint_;
    std::vector<std::shared_ptr<Download>> downloads_;
    std::optional<IndexPath> selectedIndexPath_;
    std::optional<IndexPath> nextChapterIndexPath_;
    MyHelpAlertViewController *alertViewController_ = nullptr; // widgets are QObject children
    bool doResumeDownload_ = false;
    std::shared_ptr<Download> downloadToResumeFromAlert_;
    std::unique_ptr<DownloadsDeleterController> downloadsDeleterController_;
    std::unique_ptr<DownloadsMoverController> downloadsMoverController_;
    TableView *tableView_ = nullptr;
    QWidget *editingHeader_ = nullptr;
    QPushButton *deleteButton_ = nullptr;
    QPushButton *saveToLibraryButton_ = nullptr;
};
