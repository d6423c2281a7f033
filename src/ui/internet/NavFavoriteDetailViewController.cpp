#include "ui/internet/NavFavoriteDetailViewController.h"

#include <QAction>
#include <QVBoxLayout>

#include "foundation/Localized.h"
#include "store/AppData.h"
#include "store/Favorite.h"
#include "ui/kit/NavigationItem.h"
#include "ui/kit/TableView.h"

NavFavoriteDetailViewController::NavFavoriteDetailViewController(
    std::shared_ptr<Favorite> favorite, ScreenServices services,
    NavFavoriteDetailViewControllerDelegate *delegate, QWidget *parent)
    : ViewController(parent), favorite_(std::move(favorite)), services_(std::move(services)),
      delegate_(delegate)
{
    setTitle(localized("Add Favorite"));
    saveAction_ = new QAction(localized("Save"), this);
    connect(saveAction_, &QAction::triggered, this, &NavFavoriteDetailViewController::save);
    cancelAction_ = new QAction(localized("Cancel"), this);
    connect(cancelAction_, &QAction::triggered, this, &NavFavoriteDetailViewController::cancel);
    navigationItem()->setRightBarButtonItem(saveAction_);
    navigationItem()->setLeftBarButtonItem(cancelAction_);
}

NavFavoriteDetailViewController::~NavFavoriteDetailViewController()
{
    if (tableView_) {
        tableView_->setDataSource(nullptr);
        tableView_->setDelegate(nullptr);
    }
}

void NavFavoriteDetailViewController::viewDidLoad()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tableView_ = new TableView(TableView::Style::Grouped, this);
    tableView_->setAllowsSelection(false);
    layout->addWidget(tableView_);
    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
}

TableCell NavFavoriteDetailViewController::cellForRow(const IndexPath &path)
{
    TableCell cell;
    cell.style = TableCell::Style::Value1;
    cell.selectable = false;
    cell.detailLines = 3;
    cell.detailColor = QColor(0x38, 0x54, 0x87);
    if (path.row == 0) {
        cell.text = localized("Title");
        cell.detailText = favorite_ ? favorite_->title() : QString();
    } else {
        cell.text = localized("Source");
        cell.detailText = favorite_ ? favorite_->rootTitle() : QString();
    }
    return cell;
}

void NavFavoriteDetailViewController::save()
{
    if (services_.appData)
        services_.appData->save();
    if (delegate_)
        delegate_->navFavoriteDetailViewControllerFinished(this);
}

void NavFavoriteDetailViewController::cancel()
{
    if (services_.appData && favorite_) {
        services_.appData->managedObjectContext()->deleteObject(favorite_);
        services_.appData->save();
    }
    if (delegate_)
        delegate_->navFavoriteDetailViewControllerFinished(this);
}
