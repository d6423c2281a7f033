#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QList>

#include "ui/kit/ScreenServices.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

class Book;
class ChaptersViewController;
class TableView;

// The Library tab: the saved books, by title, each with its source, leading
// to its chapters. A book is deleted with its chapters and folders; large
// books are removed in the background behind the wait overlay, and the
// records always go (and are saved) before the folders.
// Thread contract: main thread only.
class BooksViewController : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BooksViewController)

public:
    // Up to this many chapters a book goes at once; above, in the background.
    static constexpr int kForegroundChapters = 5;
    // Above this many chapters the user is asked to thin the book out first.
    static constexpr int kMaxChapters = 200;

    explicit BooksViewController(ScreenServices services, QWidget *parent = nullptr);
    ~BooksViewController() override;

    TableView *tableView() const { return tableView_; }
    const std::vector<std::shared_ptr<Book>> &books() const { return books_; }
    std::optional<IndexPath> selectedIndexPath() const { return selectedIndexPath_; }

    // Start-up: reopens book a[0] and, when a[1] >= 0, its chapter a[1].
    void restoreLocationWithSelectionArray(const QList<int> &selection);
    // The chapters screen for the book at `row`, pushed onto this tab.
    ChaptersViewController *pushChaptersForRow(int row);

    void setEditing(bool editing) override;
    void fetchBooks();
    // Fetches and shows the list now.
    void refresh();
    // Whether the list shown is the one from before the screen last left,
    // still to be brought up to date.
    bool isRefreshPending() const { return refreshPending_; }
    void removePathsDidFinish();
    void checkRemainingRemovePaths();

    // TableViewDataSource
    int numberOfRows(int section) override;
    TableCell cellForRow(const IndexPath &path) override;
    void commitDeleteRow(const IndexPath &path) override;
    // TableViewDelegate
    void didSelectRow(const IndexPath &path) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidAppear() override;
    void viewWillDisappear() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void deleteBookAtRow(int row);
    void setRestoreLocation(int index, int row);

    ScreenServices services_;
    TableView *tableView_ = nullptr; // QObject child
    std::vector<std::shared_ptr<Book>> books_;
    std::optional<IndexPath> selectedIndexPath_;
    bool hasFetched_ = false;
    bool refreshPending_ = false;
    bool refreshQueued_ = false;
};
