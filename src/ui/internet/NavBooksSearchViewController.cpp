#include "ui/internet/NavBooksSearchViewController.h"

#include <QListView>

#include "catalogue/NavBooksFetcherQueueWrapper.h"
#include "files/UrlStringJoins.h"
#include "ui/kit/ActivityIndicatorView.h"
#include "ui/kit/SearchBar.h"
#include "ui/kit/TableView.h"

namespace {

// The panel leaves the search bar itself uncovered.
constexpr int CoverTop = 44;

} // namespace

NavBooksSearchViewController::NavBooksSearchViewController(NavScreenContext context,
                                                           const QString &rootURLString,
                                                           const QString &rootTitle,
                                                           const QString &directoryURLString,
                                                           const QString &title, QWidget *parent)
    : NavBooksViewController(std::move(context), rootURLString, rootTitle, directoryURLString, title, false,
                             false, parent),
      searchAppend_(QStringLiteral("search.php?name="))
{}

QString NavBooksSearchViewController::escapedSearchText(const QString &text)
{
    QString escaped = text;
    escaped.replace(u'&', QStringLiteral("%26;"));
    escaped.replace(u'\'', QStringLiteral("%27;"));
    escaped.replace(u'"', QStringLiteral("%22;"));
    escaped.replace(u' ', u'+');
    return escaped;
}

QString NavBooksSearchViewController::searchURLString(const QString &text) const
{
    return urlStringByAppendingPathComponent(rootURLString_, searchAppend_) + escapedSearchText(text);
}

void NavBooksSearchViewController::viewDidLoad()
{
    NavBooksViewController::viewDidLoad();
    // The site answers the search; typing alone narrows nothing.
    disconnect(searchBar_, &SearchBar::textDidChange, this, nullptr);
    disconnect(searchBar_, &SearchBar::cancelButtonClicked, this, nullptr);
    connect(searchBar_, &SearchBar::didBeginEditing, this, [this] { setCovered(true); });
    connect(searchBar_, &SearchBar::searchButtonClicked, this, &NavBooksSearchViewController::search);
    connect(searchBar_, &SearchBar::cancelButtonClicked, this, &NavBooksSearchViewController::cancelSearch);

    coverView_ = new QWidget(this);
    coverView_->setAttribute(Qt::WA_StyledBackground);
    coverView_->setStyleSheet(QStringLiteral("background: rgba(0, 0, 0, 153);"));
    coverView_->hide();
    spinner_ = new ActivityIndicatorView(QColor(0x70, 0x70, 0x70), this);
    spinner_->resize(32, 32);
    activityIndicatorView_ = spinner_;
}

void NavBooksSearchViewController::resizeEvent(QResizeEvent *event)
{
    NavBooksViewController::resizeEvent(event);
    if (coverView_)
        coverView_->setGeometry(0, CoverTop, width(), std::max(0, height() - CoverTop));
    if (spinner_)
        spinner_->move((width() - spinner_->width()) / 2, CoverTop + 40);
}

void NavBooksSearchViewController::setCovered(bool covered)
{
    coverView_->setGeometry(0, CoverTop, width(), std::max(0, height() - CoverTop));
    coverView_->setVisible(covered);
    if (covered)
        coverView_->raise();
    // Under the panel the list neither scrolls nor selects.
    tableView_->setAllowsSelection(!covered);
    tableView_->listView()->setEnabled(!covered);
}

void NavBooksSearchViewController::search()
{
    setCovered(false);
    books_.clear();
    tableView_->reloadData();
    if (!context_.booksFetcher)
        return;
    spinner_->startAnimating();
    tableView_->setAllowsSelection(false);
    context_.booksFetcher->goWithRootURLString(searchURLString(searchBar_->text()), rootTitle_,
                                               directoryURLString_, title(), false, false);
}

void NavBooksSearchViewController::cancelSearch()
{
    setCovered(false);
    if (context_.booksFetcher)
        context_.booksFetcher->cancel();
    spinner_->stopAnimating();
}

void NavBooksSearchViewController::updateTable()
{
    books_ = context_.booksFetcher ? context_.booksFetcher->books() : QList<NavBook>{};
    spinner_->stopAnimating();
    tableView_->setAllowsSelection(true);
    tableView_->listView()->setEnabled(true);
    tableView_->reloadData();
}

int NavBooksSearchViewController::numberOfRows(int)
{
    return int(books_.size());
}

TableCell NavBooksSearchViewController::cellForRow(const IndexPath &path)
{
    TableCell cell;
    if (path.row >= books_.size())
        return cell;
    cell.text = books_[path.row].title();
    cell.accessory = TableCell::Accessory::DisclosureIndicator;
    return cell;
}

bool NavBooksSearchViewController::willSelectRow(const IndexPath &path)
{
    return NavBooksViewController::willSelectRow(path);
}

void NavBooksSearchViewController::didSelectRow(const IndexPath &path)
{
    if (path.row < books_.size() && context_.openBook)
        context_.openBook(*this, books_[path.row], rootURLString_, rootTitle_);
}
