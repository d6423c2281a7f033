#pragma once

#include <memory>

#include "ui/kit/ScreenServices.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

class Favorite;
class NavFavoriteDetailViewController;
class QAction;
class TableView;

// Hears that the add-favourite panel is done, kept or not.
class NavFavoriteDetailViewControllerDelegate
{
public:
    virtual ~NavFavoriteDetailViewControllerDelegate() = default;
    virtual void navFavoriteDetailViewControllerFinished(NavFavoriteDetailViewController *controller) = 0;
};

// "Add Favorite": the new favourite's title and site for the user to keep
// (Save) or drop (Cancel). The record exists, unsaved, from the moment the
// panel opens, so either answer ends in a save.
// Thread contract: main thread only.
class NavFavoriteDetailViewController : public ViewController,
                                        public TableViewDataSource,
                                        public TableViewDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavFavoriteDetailViewController)

public:
    NavFavoriteDetailViewController(std::shared_ptr<Favorite> favorite, ScreenServices services,
                                    NavFavoriteDetailViewControllerDelegate *delegate,
                                    QWidget *parent = nullptr);
    ~NavFavoriteDetailViewController() override;

    const std::shared_ptr<Favorite> &favorite() const { return favorite_; }
    TableView *tableView() const { return tableView_; }
    QAction *saveButton() const { return saveAction_; }
    QAction *cancelButton() const { return cancelAction_; }

    void save();
    void cancel();

    // TableViewDataSource
    int numberOfRows(int section) override { return section == 0 ? 2 : 0; }
    TableCell cellForRow(const IndexPath &path) override;
    // TableViewDelegate
    bool willSelectRow(const IndexPath &) override { return false; }

protected:
    void viewDidLoad() override;

private:
    std::shared_ptr<Favorite> favorite_;
    ScreenServices services_;
    NavFavoriteDetailViewControllerDelegate *delegate_;
    TableView *tableView_ = nullptr; // QObject children
    QAction *saveAction_ = nullptr;
    QAction *cancelAction_ = nullptr;
};
