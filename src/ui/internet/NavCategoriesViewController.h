#pragma once

#include <memory>

#include "sites/NavSections.h"
#include "ui/internet/NavScreenContext.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

class TableView;

// A site's sections: each row opens a book list or, for the search row, the
// site search.
// Thread contract: main thread only.
class NavCategoriesViewController : public ViewController,
                                    public TableViewDataSource,
                                    public TableViewDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavCategoriesViewController)

public:
    NavCategoriesViewController(NavScreenContext context, const QString &rootURLString,
                                const QString &rootTitle, const QString &title,
                                const QString &directoryURLString,
                                std::shared_ptr<const NavSections> categories, QWidget *parent = nullptr);
    ~NavCategoriesViewController() override;

    TableView *tableView() const { return tableView_; }
    const QString &rootURLString() const { return rootURLString_; }
    const QString &rootTitle() const { return rootTitle_; }
    const QString &directoryURLString() const { return directoryURLString_; }

    // TableViewDataSource
    int numberOfRows(int section) override;
    TableCell cellForRow(const IndexPath &path) override;
    // TableViewDelegate
    bool willSelectRow(const IndexPath &path) override;
    void didSelectRow(const IndexPath &path) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;

private:
    const std::vector<NavSection> &rows() const;

    NavScreenContext context_;
    QString rootURLString_;
    QString rootTitle_;
    QString directoryURLString_;
    std::shared_ptr<const NavSections> categories_;
    TableView *tableView_ = nullptr;
};
