#pragma once

#include <memory>

#include <QHash>
#include <QList>
#include <QString>

#include "sites/NavBook.h"
#include "sites/NavChapter.h"
#include "ui/internet/NavScreenContext.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

class ActivityIndicatorView;
class Download;
class NavChapterBaseCell;
class SearchBar;
class TableView;

// What the chapter lists share: a list of chapters with a search field over
// it, a "Download" button on each chapter not yet on its way, the checks
// that refuse a download before anything is created, and the downloads now
// queued or running, read afresh from the store each time the screen comes
// back and whenever a download ends.
// Thread contract: main thread only.
class NavBaseChaptersViewController : public ViewController,
                                      public TableViewDataSource,
                                      public TableViewDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavBaseChaptersViewController)

public:
    ~NavBaseChaptersViewController() override;

    const QString &rootURLString() const { return rootURLString_; }
    const QString &rootTitle() const { return rootTitle_; }
    const QList<NavChapter> &chapters() const { return chapters_; }
    const QList<NavChapter> &filteredChapters() const { return filteredChapters_; }
    const NavChapter &selectedChapter() const { return selectedChapter_; }
    // Key: book title followed directly by chapter title.
    const QHash<QString, std::shared_ptr<Download>> &queuedOrDownloadingChapters() const
    {
        return queuedOrDownloadingChapters_;
    }
    static QString downloadKey(const QString &bookTitle, const QString &chapterTitle);
    bool isQueuedOrDownloading(const QString &bookTitle, const NavChapter &chapter) const;

    TableView *tableView() const { return tableView_; }
    SearchBar *searchBar() const { return searchBar_; }
    QWidget *loadingView() const { return loadingView_; }
    bool isLoading() const;
    // True while the search field narrows the list.
    bool isSearching() const;

    // The "Download" button of a row.
    void downloadAction(const IndexPath &path);
    // Connection, free space and room in the wait queue, each refused with
    // its own alert.
    bool precheckDownloadAction();
    void findQueuedOrDownloadingChapters();

    // TableViewDataSource
    int numberOfRows(int section) override;
    TableCell cellForRow(const IndexPath &path) override;
    // TableViewDelegate
    int heightForRow(const IndexPath &path) override;
    bool willSelectRow(const IndexPath &path) override;
    void rowButtonTapped(const IndexPath &path) override;

protected:
    NavBaseChaptersViewController(NavScreenContext context, const QString &rootURLString,
                                  const QString &rootTitle, QWidget *parent = nullptr);

    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewWillDisappear() override;
    void resizeEvent(QResizeEvent *event) override;

    // A bar above the search field (buttons); none by default.
    virtual QWidget *createTopBar() { return nullptr; }
    // Asks the site for the list.
    virtual void fetch() = 0;
    virtual void observeFetcher() = 0;
    // The chapter shown at `row` (of the matches while searching), or null
    // for a row that is not a chapter; and the book it belongs to.
    virtual const NavChapter *chapterAt(int row) const;
    virtual int chapterRowCount() const;
    virtual NavBook bookForRow(int row) const = 0;
    // The row as the cell variants show it.
    virtual std::unique_ptr<NavChapterBaseCell> chapterCellForRow(int row) const = 0;
    virtual void filterContentForSearchText(const QString &text);
    // A download ended: what is queued or running is read again.
    void downloadsChanged();
    // Shows the rows' marks afresh after the downloads changed.
    virtual void reloadMarks();

    void showLoadingView();
    void hideLoadingView();
    void reloadData();

    NavScreenContext context_;
    QString rootURLString_;
    QString rootTitle_;
    QList<NavChapter> chapters_;
    QList<NavChapter> filteredChapters_;
    NavChapter selectedChapter_;
    QHash<QString, std::shared_ptr<Download>> queuedOrDownloadingChapters_;

    mutable QHash<QString, int> rowHeights_; // by title: measuring text is slow
    int rowHeightsColumn_ = 190;             // the title's column they were measured in

    TableView *tableView_ = nullptr; // widgets are QObject children
    SearchBar *searchBar_ = nullptr;
    QWidget *loadingView_ = nullptr;
    ActivityIndicatorView *loadingIndicator_ = nullptr;
};
