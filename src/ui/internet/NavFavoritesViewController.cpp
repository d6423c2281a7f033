#include "ui/internet/NavFavoritesViewController.h"

#include <QVBoxLayout>

#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"
#include "settings/SettingsKeys.h"
#include "sites/NavBook.h"
#include "store/AppData.h"
#include "store/Favorite.h"
#include "store/FavoritesRequest.h"
#include "ui/internet/NavChaptersViewController.h"
#include "ui/kit/MyHelpAlertViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/NavigationItem.h"
#include "ui/kit/TableView.h"

NavFavoritesViewController::NavFavoritesViewController(NavScreenContext context, QWidget *parent)
    : ViewController(parent), context_(std::move(context))
{
    setTitle(localized("Favorites"));
}

NavFavoritesViewController::~NavFavoritesViewController()
{
    if (tableView_) {
        tableView_->setDataSource(nullptr);
        tableView_->setDelegate(nullptr);
    }
}

void NavFavoritesViewController::viewDidLoad()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tableView_ = new TableView(TableView::Style::Plain, this);
    tableView_->setRowHeight(54);
    tableView_->setAllowsSelectionDuringEditing(true);
    layout->addWidget(tableView_);
    navigationItem()->setRightBarButtonItem(editButtonItem());

    helpViewController_ = new MyHelpAlertViewController(
        localized("Did you know?"), localized("-You can edit favorites to change the title or url."), this,
        [this](MyAlertViewController *) {
            if (context_.services.userDefaults)
                helpViewController_->dismiss(*context_.services.userDefaults,
                                             SettingsKeys::editFavoritesHelp);
        });
    helpViewController_->setParent(this);
    helpViewController_->hide();

    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
}

void NavFavoritesViewController::fetchFavorites()
{
    favorites_.clear();
    if (!context_.services.appData)
        return;
    std::optional<Error> error;
    favorites_ =
        context_.services.appData->managedObjectContext()->fetch<Favorite>(FavoritesRequest(), &error);
    if (error)
        AlertWithTitleAndError(localized("Fatal! Please exit the application"), *error);
}

void NavFavoritesViewController::viewWillAppear()
{
    fetchFavorites();
    tableView_->reloadData();
    const auto found = std::find(favorites_.begin(), favorites_.end(), selected_);
    if (selected_ && found != favorites_.end())
        tableView_->selectRow({0, int(found - favorites_.begin())});
    else
        tableView_->deselectRow();
}

void NavFavoritesViewController::viewDidAppear()
{
    if (context_.services.userDefaults)
        helpViewController_->showIfNeeded(this, *context_.services.userDefaults,
                                          SettingsKeys::editFavoritesHelp);
}

void NavFavoritesViewController::setEditing(bool editing)
{
    ViewController::setEditing(editing);
    if (tableView_)
        tableView_->setEditing(editing);
}

int NavFavoritesViewController::numberOfRows(int)
{
    return int(favorites_.size());
}

TableCell NavFavoritesViewController::cellForRow(const IndexPath &path)
{
    TableCell cell;
    if (path.row < 0 || size_t(path.row) >= favorites_.size())
        return cell;
    const Favorite &favorite = *favorites_[size_t(path.row)];
    cell.style = TableCell::Style::Subtitle;
    cell.text = favorite.title();
    cell.detailText = favorite.rootTitle();
    QFont bold = tableView_->font();
    bold.setBold(true);
    bold.setPixelSize(17);
    cell.font = bold;
    cell.accessory = TableCell::Accessory::DisclosureIndicator;
    return cell;
}

void NavFavoritesViewController::commitDeleteRow(const IndexPath &path)
{
    if (path.row < 0 || size_t(path.row) >= favorites_.size() || !context_.services.appData)
        return;
    AppData &appData = *context_.services.appData;
    appData.managedObjectContext()->deleteObject(favorites_[size_t(path.row)]);
    appData.save();
    fetchFavorites();
    tableView_->reloadData();
}

bool NavFavoritesViewController::willSelectRow(const IndexPath &)
{
    // Editing stays on the device; the chapter list reads the site.
    if (!isEditing() && !context_.isReachable()) {
        CannotConnectMessage();
        return false;
    }
    return true;
}

void NavFavoritesViewController::didSelectRow(const IndexPath &path)
{
    if (path.row < 0 || size_t(path.row) >= favorites_.size())
        return;
    selected_ = favorites_[size_t(path.row)];
    NavigationController *nav = navigationController();
    if (!nav)
        return;
    if (isEditing()) {
        nav->pushViewController(
            std::make_unique<NavFavoriteEditViewController>(selected_, context_.services, this));
        return;
    }
    const NavBook book(selected_->title(), selected_->urlString());
    nav->pushViewController(std::make_unique<NavChaptersViewController>(
        context_, book, selected_->rootURLString(), selected_->rootTitle(), false));
}

void NavFavoritesViewController::navFavoriteEditViewControllerDidSave(NavFavoriteEditViewController *)
{
    fetchFavorites();
    tableView_->reloadData();
}
