#include "ui/internet/NavCategoriesViewController.h"

#include <QVBoxLayout>

#include "files/UrlStringJoins.h"
#include "foundation/AlertFunctions.h"
#include "ui/internet/NavBooksSearchViewController.h"
#include "ui/internet/NavBooksViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TableView.h"

NavCategoriesViewController::NavCategoriesViewController(
    NavScreenContext context, const QString &rootURLString, const QString &rootTitle, const QString &title,
    const QString &directoryURLString, std::shared_ptr<const NavSections> categories, QWidget *parent)
    : ViewController(parent), context_(std::move(context)), rootURLString_(rootURLString),
      rootTitle_(rootTitle), directoryURLString_(directoryURLString), categories_(std::move(categories))
{
    setTitle(title);
}

NavCategoriesViewController::~NavCategoriesViewController()
{
    if (tableView_) {
        tableView_->setDataSource(nullptr);
        tableView_->setDelegate(nullptr);
    }
}

const std::vector<NavSection> &NavCategoriesViewController::rows() const
{
    static const std::vector<NavSection> none;
    return categories_ ? categories_->sections() : none;
}

void NavCategoriesViewController::viewDidLoad()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tableView_ = new TableView(TableView::Style::Plain, this);
    layout->addWidget(tableView_);
    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
}

void NavCategoriesViewController::viewWillAppear()
{
    tableView_->deselectRow();
}

int NavCategoriesViewController::numberOfRows(int)
{
    return int(rows().size());
}

TableCell NavCategoriesViewController::cellForRow(const IndexPath &path)
{
    TableCell cell;
    cell.text = rows()[size_t(path.row)].labelKey;
    cell.accessory = TableCell::Accessory::DisclosureIndicator;
    return cell;
}

bool NavCategoriesViewController::willSelectRow(const IndexPath &)
{
    if (!context_.isReachable()) {
        CannotConnectMessage();
        return false;
    }
    return true;
}

void NavCategoriesViewController::didSelectRow(const IndexPath &path)
{
    const NavSection &row = rows()[size_t(path.row)];
    const QString directory = urlStringByAppendingPathComponent(directoryURLString_, row.urlKey);
    if (row.useBooksSearch) {
        navigationController()->pushViewController(std::make_unique<NavBooksSearchViewController>(
            context_, rootURLString_, rootTitle_, directory, row.labelKey));
    } else {
        navigationController()->pushViewController(std::make_unique<NavBooksViewController>(
            context_, rootURLString_, rootTitle_, directory, row.labelKey, row.useSectionKey, false));
    }
}
