#include "ui/internet/NavRootViewController.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "catalogue/NavCatalogue.h"
#include "files/DeleteAlert.h"
#include "files/FSStats.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "ui/internet/NavCategoriesViewController.h"
#include "ui/kit/MyHelpAlertViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TableView.h"

namespace {

// Rows of the catalogue: the favourites, three sites, their latest releases.
constexpr int FavoritesRow = 0;
constexpr int LastSiteRow = 3;
constexpr int LastRecentRow = 6;

} // namespace

NavRootViewController::NavRootViewController(NavScreenContext context, QWidget *parent)
    : ViewController(parent), context_(std::move(context))
{
    setTitle(localized("Internet"));
}

NavRootViewController::~NavRootViewController()
{
    if (tableView_) {
        tableView_->setDataSource(nullptr);
        tableView_->setDelegate(nullptr);
    }
}

MyUserDefaults &NavRootViewController::userDefaults() const
{
    return *context_.services.userDefaults;
}

void NavRootViewController::createSites()
{
    sites_ = NavCatalogue::sites();
}

void NavRootViewController::viewDidLoad()
{
    createSites();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tableView_ = new TableView(TableView::Style::Plain, this);
    tableView_->setRowHeight(44);
    layout->addWidget(tableView_);

    tableHeaderView_ = new QWidget(tableView_);
    tableHeaderView_->setObjectName(QStringLiteral("NavHeaderView"));
    tableHeaderView_->setAttribute(Qt::WA_StyledBackground);
    tableHeaderView_->setStyleSheet(QStringLiteral("#NavHeaderView { background: #d3d7dc; }"));
    auto *headerLayout = new QHBoxLayout(tableHeaderView_);
    headerLayout->setContentsMargins(12, 6, 12, 6);
    diskSpaceLabel_ = new QLabel(tableHeaderView_);
    diskSpaceLabel_->setStyleSheet(QStringLiteral("color: #333a44; background: transparent;"));
    headerLayout->addWidget(diskSpaceLabel_);
    tableView_->setTableHeaderView(tableHeaderView_);

    alertViewController_ = new MyHelpAlertViewController(
        localized("Do you like Yomora?"),
        localized("If Yomora helps you enjoy your manga, please tell your friends about it on the social "
                  "networks you use."),
        this, [this](MyAlertViewController *) {
            alertViewController_->dismiss(userDefaults(), SettingsKeys::basicHelp);
        });
    alertViewController_->setParent(this);
    alertViewController_->hide();

    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
}

void NavRootViewController::updateTableHeaderView()
{
    // Computed afresh: downloads made since the last visit used the disk.
    availableDiskSpaceString_ = FSStats().availableDiskSpaceString();
    diskSpaceLabel_->setText(
        localized("Available %@").replace(QStringLiteral("%@"), availableDiskSpaceString_));
}

void NavRootViewController::viewWillAppear()
{
    updateTableHeaderView();
    tableView_->reloadData();
    if (selectedIndexPath_)
        tableView_->selectRow(*selectedIndexPath_);
}

void NavRootViewController::viewDidAppear()
{
    tableView_->deselectRow();
    alertViewController_->showIfNeeded(this, userDefaults(), SettingsKeys::basicHelp);
    if (userDefaults().boolForKey(SettingsKeys::showDeleteMessage)) {
        DeleteAlert();
        userDefaults().setBool(false, SettingsKeys::showDeleteMessage);
        userDefaults().synchronize();
    }
}

int NavRootViewController::numberOfRows(int)
{
    return int(sites_.size());
}

TableCell NavRootViewController::cellForRow(const IndexPath &path)
{
    TableCell cell;
    cell.text = sites_[size_t(path.row)].title();
    cell.accessory = TableCell::Accessory::DisclosureIndicator;
    return cell;
}

bool NavRootViewController::willSelectRow(const IndexPath &path)
{
    // The favourites are stored here; every other row reads a site.
    if (path.row != FavoritesRow && path.row <= LastRecentRow && !context_.isReachable()) {
        CannotConnectMessage();
        return false;
    }
    return true;
}

void NavRootViewController::didSelectRow(const IndexPath &path)
{
    selectedIndexPath_ = path;
    const NavSite &site = sites_[size_t(path.row)];
    if (path.row == FavoritesRow) {
        if (context_.openFavorites)
            context_.openFavorites(*this);
    } else if (path.row <= LastSiteRow) {
        navigationController()->pushViewController(std::make_unique<NavCategoriesViewController>(
            context_, site.rootUrl(), site.rootTitle(), site.title(), site.dirUrl(), site.sections()));
    } else if (path.row <= LastRecentRow) {
        if (context_.openRecentChapters)
            context_.openRecentChapters(*this, site);
    }
}
