#pragma once

#include <optional>
#include <map>
#include <set>

#include "foundation/Decimal.h"
#include "sites/NavBookInfo.h"
#include "ui/internet/NavBaseChaptersViewController.h"
#include "ui/internet/NavBookInfoViewController.h"
#include "ui/internet/NavFavoriteDetailViewController.h"

class LicenseViewController;
class MyAlertViewController;
class MyHelpAlertViewController;
class QAction;
class QPushButton;
class NavTitleView;

// One book's chapters on a site, newest first as the site lists them. The
// chapters already in the library or among the downloads are marked, the
// highest of them most clearly, so the user sees where to go on; up to 20
// of the chapters after it are requested with one button. The book's
// details open from the title, and the book can be kept as a favourite.
// Thread contract: main thread only; the fetch runs on the wrapper's queue.
class NavChaptersViewController : public NavBaseChaptersViewController,
                                  public NavBookInfoViewControllerDelegate,
                                  public NavFavoriteDetailViewControllerDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavChaptersViewController)

public:
    NavChaptersViewController(NavScreenContext context, const NavBook &book, const QString &rootURLString,
                              const QString &rootTitle, bool showAddFavorites, QWidget *parent = nullptr);
    ~NavChaptersViewController() override;

    static constexpr int BulkDownloadCount = 20;

    const NavBook &book() const { return book_; }
    const NavBookInfo &navBookInfo() const { return navBookInfo_; }
    bool showAddFavorites() const { return showAddFavorites_; }
    const std::set<Decimal> &chaptersDictionary() const { return chaptersDictionary_; }
    const std::optional<Decimal> &lastDownloadedChapter() const { return lastDownloadedChapter_; }
    int lastDownloadedChapterTableViewRow() const { return lastDownloadedChapterTableViewRow_; }
    bool hasNextPageRow() const;

    QPushButton *bulkDownloadButton() const { return bulkDownloadButton_; }
    QPushButton *jumpToHighestDLButton() const { return jumpToHighestDLButton_; }
    NavTitleView *infoButton() const { return infoButton_; }
    QAction *addFavoritesButton() const { return addFavoritesAction_; }
    LicenseViewController *licenseViewController() const { return licenseViewController_; }
    MyHelpAlertViewController *helpViewController() const { return helpViewController_; }

    // The chapters of this book in the downloads and the library.
    void fetchExistingChapters();
    void jumpToLastDownloadedChapter();
    bool precheckBulkDownload();
    void bulkDownload();
    void showBookInfo();
    void addToFavorites();
    void updateTable();

    // TableViewDataSource
    int numberOfRows(int section) override;
    TableCell cellForRow(const IndexPath &path) override;
    // TableViewDelegate
    int heightForRow(const IndexPath &path) override;
    bool willSelectRow(const IndexPath &path) override;
    void didSelectRow(const IndexPath &path) override;

    void navBookInfoViewControllerDidSelectDismiss(NavBookInfoViewController *controller) override;
    void navFavoriteDetailViewControllerFinished(NavFavoriteDetailViewController *controller) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidAppear() override;
    QWidget *createTopBar() override;
    void fetch() override;
    void observeFetcher() override;
    NavBook bookForRow(int row) const override;
    std::unique_ptr<NavChapterBaseCell> chapterCellForRow(int row) const override;
    void reloadMarks() override;

private:
    int rowOfLastDownloadedChapter() const;
    void setListControlsEnabled(bool enabled);
    void fetchNextPage();

    NavBook book_;
    NavBookInfo navBookInfo_;
    bool showAddFavorites_;
    std::set<Decimal> chaptersDictionary_;
    // The reason of each download of this book whose deduction failed, kept
    // on its row until the download is retried or deleted.
    std::map<Decimal, QString> deductionErrors_;
    std::optional<Decimal> lastDownloadedChapter_;
    int lastDownloadedChapterTableViewRow_ = -1;
    bool appendingNextPage_ = false;
    bool shownOnce_ = false;
    bool licenseShown_ = false;

    QWidget *bulkBar_ = nullptr; // widgets and actions are QObject children
    QPushButton *bulkDownloadButton_ = nullptr;
    QPushButton *jumpToHighestDLButton_ = nullptr;
    NavTitleView *infoButton_ = nullptr;
    QAction *addFavoritesAction_ = nullptr;
    ActivityIndicatorView *nextPageActivityIndicator_ = nullptr;
    LicenseViewController *licenseViewController_ = nullptr;
    MyHelpAlertViewController *helpViewController_ = nullptr;
};
