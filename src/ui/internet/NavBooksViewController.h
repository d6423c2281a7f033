#pragma once

#include <memory>
#include <vector>

#include <QList>

#include "sites/NavBook.h"
#include "ui/internet/NavScreenContext.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

class ActivityIndicatorView;
class NavBooksIndex;
class QLabel;
class QToolButton;
class SearchBar;
class TableView;

// A site's book list: shown from the list cache when there is one, fetched
// otherwise or on reload, with an optional alphabetical index and a search
// field that narrows the list as the user types. Choosing a book leaves for
// its chapters through the context.
// Thread contract: main thread only; the fetch runs on the wrapper's queue.
class NavBooksViewController : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavBooksViewController)

public:
    NavBooksViewController(NavScreenContext context, const QString &rootURLString, const QString &rootTitle,
                           const QString &directoryURLString, const QString &title, bool useSections,
                           bool doSectionFilter, QWidget *parent = nullptr);
    ~NavBooksViewController() override;

    const QString &rootURLString() const { return rootURLString_; }
    const QString &rootTitle() const { return rootTitle_; }
    const QString &directoryURLString() const { return directoryURLString_; }
    bool useSections() const { return useSections_; }
    bool doSectionFilter() const { return doSectionFilter_; }
    const QList<NavBook> &books() const { return books_; }
    const QList<NavBook> &filteredBooks() const { return filteredBooks_; }
    // True while the search field narrows the list.
    bool isSearching() const;

    TableView *tableView() const { return tableView_; }
    SearchBar *searchBar() const { return searchBar_; }
    QLabel *updatedLabel() const { return updatedLabel_; }
    QToolButton *reloadButton() const { return reloadButton_; }
    ActivityIndicatorView *activityIndicatorView() const { return activityIndicatorView_; }

    // Asks for the list afresh (the reload button).
    void fetch();
    // Shows what the cache holds now.
    virtual void updateTable();
    // The notice of a site about to change its layout, once.
    void showUpdateAlert();

    // TableViewDataSource
    int numberOfSections() override;
    int numberOfRows(int section) override;
    TableCell cellForRow(const IndexPath &path) override;
    QString titleForHeader(int section) override;
    QStringList sectionIndexTitles() override;
    // TableViewDelegate
    bool willSelectRow(const IndexPath &path) override;
    void didSelectRow(const IndexPath &path) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidAppear() override;
    void viewWillDisappear() override;

    // The list's own start: the cache or a fetch. The site search starts empty.
    virtual void initBooks();
    virtual void observeFetcher();
    virtual QWidget *createTableHeaderView();
    void updateTableHeaderView();
    void filterContentForSearchText(const QString &text);
    void lowerAllTitles();
    const NavBook *bookAt(const IndexPath &path) const;

    NavScreenContext context_;
    QString rootURLString_;
    QString rootTitle_;
    QString directoryURLString_;
    bool useSections_;
    bool doSectionFilter_;
    QList<NavBook> books_;
    QList<NavBook> filteredBooks_;
    // The titles of books_ lower-cased one after another, made at the first
    // search, and where each one ends.
    QString lowerTitles_;
    std::vector<qsizetype> lowerTitleEnds_;
    std::shared_ptr<const NavBooksIndex> collation_;
    std::vector<std::vector<int>> sections_;

    TableView *tableView_ = nullptr;
    SearchBar *searchBar_ = nullptr;
    QLabel *updatedLabel_ = nullptr;
    QToolButton *reloadButton_ = nullptr;
    ActivityIndicatorView *activityIndicatorView_ = nullptr;

    // The search field's state while the screen is rebuilt.
    bool searchWasActive_ = false;
    int savedScopeButtonIndex_ = 0;
    QString savedSearchTerm_;
};
