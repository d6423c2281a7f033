#pragma once

#include <optional>
#include <vector>

#include "sites/NavSite.h"
#include "ui/internet/NavScreenContext.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

class MyHelpAlertViewController;
class MyUserDefaults;
class QLabel;
class TableView;

// The Internet tab's root: the catalogue of sites under a header that shows
// the free disk space. The favourites row and the latest-release rows leave
// for the chapter-list screens through the context; the site rows open their
// sections. Shows the "Do you like Yomora?" notice, and the uninstall notice
// on the first visit only.
// Thread contract: main thread only.
class NavRootViewController : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavRootViewController)

public:
    explicit NavRootViewController(NavScreenContext context, QWidget *parent = nullptr);
    ~NavRootViewController() override;

    TableView *tableView() const { return tableView_; }
    QWidget *tableHeaderView() const { return tableHeaderView_; }
    QLabel *diskSpaceLabel() const { return diskSpaceLabel_; }
    MyHelpAlertViewController *alertViewController() const { return alertViewController_; }
    const std::vector<NavSite> &sites() const { return sites_; }
    const NavScreenContext &context() const { return context_; }

    void createSites();

    // TableViewDataSource
    int numberOfRows(int section) override;
    TableCell cellForRow(const IndexPath &path) override;
    // TableViewDelegate
    bool willSelectRow(const IndexPath &path) override;
    void didSelectRow(const IndexPath &path) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidAppear() override;

private:
    MyUserDefaults &userDefaults() const;
    void updateTableHeaderView();

    NavScreenContext context_;
    std::vector<NavSite> sites_;
    TableView *tableView_ = nullptr;
    QWidget *tableHeaderView_ = nullptr;
    QLabel *diskSpaceLabel_ = nullptr;
    QString availableDiskSpaceString_;
    std::optional<IndexPath> selectedIndexPath_;
    MyHelpAlertViewController *alertViewController_ = nullptr;
};
