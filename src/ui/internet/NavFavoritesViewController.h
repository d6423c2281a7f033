#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "ui/internet/NavFavoriteEditViewController.h"
#include "ui/internet/NavScreenContext.h"
#include "ui/kit/IndexPath.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

class Favorite;
class MyHelpAlertViewController;
class TableView;

// The user's favourite manga, each opening its chapter list on its site;
// in edit mode a favourite is renamed, re-addressed or deleted.
// Thread contract: main thread only.
class NavFavoritesViewController : public ViewController,
                                   public TableViewDataSource,
                                   public TableViewDelegate,
                                   public NavFavoriteEditViewControllerDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavFavoritesViewController)

public:
    explicit NavFavoritesViewController(NavScreenContext context, QWidget *parent = nullptr);
    ~NavFavoritesViewController() override;

    const std::vector<std::shared_ptr<Favorite>> &favorites() const { return favorites_; }
    TableView *tableView() const { return tableView_; }
    MyHelpAlertViewController *helpViewController() const { return helpViewController_; }

    void fetchFavorites();
    void setEditing(bool editing) override;

    // TableViewDataSource
    int numberOfRows(int section) override;
    TableCell cellForRow(const IndexPath &path) override;
    void commitDeleteRow(const IndexPath &path) override;
    // TableViewDelegate
    bool willSelectRow(const IndexPath &path) override;
    void didSelectRow(const IndexPath &path) override;

    void navFavoriteEditViewControllerDidSave(NavFavoriteEditViewController *controller) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidAppear() override;

private:
    NavScreenContext context_;
    std::vector<std::shared_ptr<Favorite>> favorites_;
    std::shared_ptr<Favorite> selected_; // the row to select again on coming back
    TableView *tableView_ = nullptr;     // QObject children
    MyHelpAlertViewController *helpViewController_ = nullptr;
};
