#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "download/ChaptersDeleterController.h"
#include "ui/kit/ScreenServices.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"
#include "ui/pages/PagesViewControllerDelegate.h"

class Book;
class Chapter;
class ChaptersHeaderView;
class IEDBExporterOperation;
class MyHelpAlertViewController;
class OperationQueue;
class QLabel;
class TableView;

// One book's chapters, lowest number first, with what the user has read of
// them. A chapter opens in the viewer, which goes on to the next chapter
// through this screen. In edit mode each row offers its zip for the
// Import/Export tab and the header deletes the chapters already read.
// Thread contract: main thread only; the zip is written on a queue of its
// own and reports back on the main thread.
class ChaptersViewController : public ViewController,
                               public TableViewDataSource,
                               public TableViewDelegate,
                               public ChaptersDeleterControllerDelegate,
                               public PagesViewControllerDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChaptersViewController)

public:
    ChaptersViewController(std::shared_ptr<Book> book, ScreenServices services, QWidget *parent = nullptr);
    ~ChaptersViewController() override;

    static inline const QString ZipButtonTitle = QStringLiteral("  Zip   ");

    const std::shared_ptr<Book> &book() const { return book_; }
    const std::vector<std::shared_ptr<Chapter>> &chapters() const { return chapters_; }
    TableView *tableView() const { return tableView_; }
    QLabel *bookLabel() const { return bookLabel_; }
    ChaptersHeaderView *headerView() const { return headerView_; }
    MyHelpAlertViewController *alertViewController() const { return alertViewController_; }
    ChaptersDeleterController *chaptersDeleterController() const { return chaptersDeleterController_.get(); }
    std::optional<IndexPath> selectedIndexPath() const { return selectedIndexPath_; }
    std::optional<IndexPath> nextChapterIndexPath() const { return nextChapterIndexPath_; }

    void setEditing(bool editing) override;
    void fetchChapters();
    // The chapter whose number times ten is the book's last chapter read,
    // as of the last fetch; null when none.
    const std::shared_ptr<Chapter> &lastChapterRead() const { return lastChapterRead_; }
    void jumpToLastReadChapter();
    // Start-up: reopens the chapter at `row` in the viewer.
    void restoreLocationWithSelection(int row);
    void deleteChaptersAction();
    // The row's Zip button.
    void zipButtonTapped(int row);
    void zipChapter(const std::shared_ptr<Chapter> &chapter);
    // The queue the zip of the chapter runs on; tests wait on it.
    OperationQueue *exportQueue() const { return exportQueue_.get(); }

    // TableViewDataSource
    int numberOfRows(int section) override;
    TableCell cellForRow(const IndexPath &path) override;
    void commitDeleteRow(const IndexPath &path) override;
    // TableViewDelegate
    void didSelectRow(const IndexPath &path) override;
    void rowButtonTapped(const IndexPath &path) override;
    // ChaptersDeleterControllerDelegate
    void chaptersDeleterDidFinish(ChaptersDeleterController &controller) override;
    void chaptersDeleterDidFail(ChaptersDeleterController &controller, const Error &error) override;
    // PagesViewControllerDelegate
    bool pagesViewControllerHasNextChapter(PagesViewController *viewer) override;
    void pagesViewControllerWillGotoNextChapter(PagesViewController *viewer) override;
    void pagesViewControllerWillDisappear(PagesViewController *viewer) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidAppear() override;
    void viewWillDisappear() override;

private:
    std::shared_ptr<Chapter> findLastChapterRead() const;
    void openChapterAtRow(int row);
    void exporterDidFinish(IEDBExporterOperation &operation, const QString &chapterTitle);
    void exporterDidFail(IEDBExporterOperation &operation);
    void refresh();
    void setRestoreLocation(int row);

    std::shared_ptr<Book> book_;
    ScreenServices services_;
    std::vector<std::shared_ptr<Chapter>> chapters_;
    std::shared_ptr<Chapter> lastChapterRead_;
    TableView *tableView_ = nullptr; // widgets are QObject children
    QLabel *bookLabel_ = nullptr;
    ChaptersHeaderView *headerView_ = nullptr;
    MyHelpAlertViewController *alertViewController_ = nullptr;
    std::optional<IndexPath> selectedIndexPath_;
    std::optional<IndexPath> nextChapterIndexPath_;
    std::unique_ptr<ChaptersDeleterController> chaptersDeleterController_;
    std::unique_ptr<OperationQueue> exportQueue_;
};
