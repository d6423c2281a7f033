#include "ui/internet/NavBooksViewController.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "catalogue/NavBooksFetcherQueueWrapper.h"
#include "catalogue/NavBooksIndex.h"
#include "files/UrlStringJoins.h"
#include "foundation/AlertFunctions.h"
#include "sites/SiteTransitionAlerts.h"
#include "foundation/Localized.h"
#include "foundation/NotificationCenter.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "ui/kit/ActivityIndicatorView.h"
#include "ui/kit/Icons.h"
#include "ui/kit/SearchBar.h"
#include "ui/kit/TableView.h"
#include "foundation/StringHelpers.h"

NavBooksViewController::NavBooksViewController(NavScreenContext context, const QString &rootURLString,
                                               const QString &rootTitle, const QString &directoryURLString,
                                               const QString &title, bool useSections, bool doSectionFilter,
                                               QWidget *parent)
    : ViewController(parent), context_(std::move(context)), rootURLString_(rootURLString),
      rootTitle_(rootTitle), directoryURLString_(directoryURLString), useSections_(useSections),
      doSectionFilter_(doSectionFilter)
{
    setTitle(title);
}

NavBooksViewController::~NavBooksViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (tableView_) {
        tableView_->setDataSource(nullptr);
        tableView_->setDelegate(nullptr);
    }
}

bool NavBooksViewController::isSearching() const
{
    return searchBar_ && !searchBar_->text().isEmpty();
}

QWidget *NavBooksViewController::createTableHeaderView()
{
    auto *header = new QWidget;
    header->setObjectName(QStringLiteral("NavBooksHeaderView"));
    header->setAttribute(Qt::WA_StyledBackground);
    header->setStyleSheet(QStringLiteral("#NavBooksHeaderView { background: #a9b4c2; }"));
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(12, 4, 8, 4);
    updatedLabel_ = new QLabel(header);
    QFont small = updatedLabel_->font();
    small.setPointSizeF(small.pointSizeF() * 13.0 / 15.0);
    updatedLabel_->setFont(small);
    updatedLabel_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    updatedLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    row->addWidget(updatedLabel_, 1);
    activityIndicatorView_ = new ActivityIndicatorView(Qt::white, header);
    row->addWidget(activityIndicatorView_);
    reloadButton_ = new QToolButton(header);
    reloadButton_->setIcon(
        Icons::icon(QStringLiteral("reload"), Qt::white, QColor(0xdd, 0xdd, 0xdd), {24, 24}));
    reloadButton_->setIconSize({24, 24});
    reloadButton_->setAccessibleName(localized("Reload"));
    reloadButton_->setAutoRaise(true);
    connect(reloadButton_, &QToolButton::clicked, this, &NavBooksViewController::fetch);
    row->addWidget(reloadButton_);
    return header;
}

void NavBooksViewController::viewDidLoad()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    tableView_ = new TableView(TableView::Style::Plain, this);
    tableView_->setRowHeight(44);

    auto *top = new QWidget;
    auto *topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->setSpacing(0);
    if (QWidget *header = createTableHeaderView())
        topLayout->addWidget(header);
    searchBar_ = new SearchBar(this, top);
    topLayout->addWidget(searchBar_);
    tableView_->setTableHeaderView(top);
    layout->addWidget(tableView_);

    connect(searchBar_, &SearchBar::textDidChange, this, [this](const QString &text) {
        filterContentForSearchText(text);
        tableView_->reloadData();
    });
    connect(searchBar_, &SearchBar::cancelButtonClicked, this, [this] {
        filterContentForSearchText(QString());
        tableView_->reloadData();
    });

    if (searchWasActive_ || !savedSearchTerm_.isEmpty()) {
        searchBar_->setSelectedScopeButtonIndex(savedScopeButtonIndex_);
        searchBar_->setText(savedSearchTerm_);
        savedSearchTerm_.clear();
    }
    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
    initBooks();
}

void NavBooksViewController::initBooks()
{
    if (context_.booksFetcher && context_.booksFetcher->booksCacheExists(rootTitle_, directoryURLString_))
        updateTable();
    else
        fetch();
}

void NavBooksViewController::fetch()
{
    if (!context_.booksFetcher)
        return;
    if (activityIndicatorView_)
        activityIndicatorView_->startAnimating();
    if (updatedLabel_)
        updatedLabel_->setText(localized("Loading.  Please be patient..."));
    context_.booksFetcher->goWithRootURLString(
        urlStringByAppendingPathComponent(rootURLString_, directoryURLString_), rootTitle_,
        directoryURLString_, title(), doSectionFilter_);
}

void NavBooksViewController::observeFetcher()
{
    NotificationCenter &center = NotificationCenter::defaultCenter();
    center.addObserver(this, NavBooksFetcherQueueWrapper::didFinishNotification(), [this] { updateTable(); });
    center.addObserver(this, NavBooksFetcherQueueWrapper::didFailNotification(), [this] { updateTable(); });
}

void NavBooksViewController::viewWillAppear()
{
    observeFetcher();
    tableView_->deselectRow();
}

void NavBooksViewController::viewDidAppear()
{
    showUpdateAlert();
}

void NavBooksViewController::viewWillDisappear()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (context_.booksFetcher)
        context_.booksFetcher->cancel();
    updateTableHeaderView();
    searchWasActive_ = searchBar_->isEditing();
    savedScopeButtonIndex_ = searchBar_->selectedScopeButtonIndex();
}

void NavBooksViewController::updateTable()
{
    books_ = context_.booksFetcher ? context_.booksFetcher->booksCacheArray(rootTitle_, directoryURLString_)
                                   : QList<NavBook>{};
    lowerTitles_.clear();
    lowerTitleEnds_.clear();
    if (useSections_) {
        if (!collation_)
            collation_ = NavBooksIndex::shared();
        sections_ = collation_->sections(books_);
    }
    filterContentForSearchText(searchBar_ ? searchBar_->text() : QString());
    tableView_->reloadData();
    updateTableHeaderView();
}

void NavBooksViewController::updateTableHeaderView()
{
    if (updatedLabel_) {
        const QString date =
            context_.booksFetcher
                ? context_.booksFetcher->booksCacheDateString(rootTitle_, directoryURLString_)
                : QString();
        updatedLabel_->setText(
            date.isNull() ? QString() : localized("Last updated: %@").replace(QStringLiteral("%@"), date));
    }
    if (activityIndicatorView_)
        activityIndicatorView_->stopAnimating();
}

void NavBooksViewController::showUpdateAlert()
{
    MyUserDefaults *defaults = context_.services.userDefaults;
    if (!defaults)
        return;
    // Not written to disk here: the next save of the settings takes the keys along.
    if (defaults->boolForKey(SettingsKeys::showMangaFoxUpdate)) {
        if (contains(rootURLString_, QStringLiteral("mangafox"))) {
            MangaFoxAlert();
            defaults->setBool(false, SettingsKeys::showMangaFoxUpdate);
        }
    } else if (defaults->boolForKey(SettingsKeys::showOneMangaUpdate) &&
               contains(rootURLString_, QStringLiteral("onemanga"))) {
        OneMangaAlert();
        defaults->setBool(false, SettingsKeys::showOneMangaUpdate);
    }
}

void NavBooksViewController::filterContentForSearchText(const QString &text)
{
    filteredBooks_.clear();
    if (text.isEmpty())
        return;
    // The engine's lower-casing match; the titles are lower-cased once per
    // list, into one text, rather than on every keystroke.
    const QString needle = text.toLower();
    if (lowerTitleEnds_.size() != size_t(books_.size()))
        lowerAllTitles();
    qsizetype start = 0;
    for (qsizetype i = 0; i < books_.size(); ++i) {
        const qsizetype end = lowerTitleEnds_[size_t(i)];
        if (QStringView(lowerTitles_).sliced(start, end - start).contains(needle))
            filteredBooks_.append(books_[i]);
        start = end;
    }
}

void NavBooksViewController::lowerAllTitles()
{
    lowerTitles_.clear();
    lowerTitleEnds_.clear();
    qsizetype size = 0;
    for (const NavBook &book : std::as_const(books_))
        size += book.title().size();
    lowerTitles_.reserve(size);
    lowerTitleEnds_.reserve(size_t(books_.size()));
    for (const NavBook &book : std::as_const(books_)) {
        const QString &title = book.title();
        const bool ascii =
            std::all_of(title.cbegin(), title.cend(), [](QChar c) { return c.unicode() < 0x80; });
        if (ascii) {
            // Letter by letter, as the full mapping does for these.
            for (const QChar c : title)
                lowerTitles_.append(c >= u'A' && c <= u'Z' ? QChar(c.unicode() + (u'a' - u'A')) : c);
        } else {
            lowerTitles_.append(title.toLower());
        }
        lowerTitleEnds_.push_back(lowerTitles_.size());
    }
}

const NavBook *NavBooksViewController::bookAt(const IndexPath &path) const
{
    if (isSearching())
        return path.row < filteredBooks_.size() ? &filteredBooks_[path.row] : nullptr;
    if (useSections_) {
        if (path.section >= int(sections_.size()) || path.row >= int(sections_[size_t(path.section)].size()))
            return nullptr;
        return &books_[sections_[size_t(path.section)][size_t(path.row)]];
    }
    return path.row < books_.size() ? &books_[path.row] : nullptr;
}

int NavBooksViewController::numberOfSections()
{
    return useSections_ && !isSearching() ? int(sections_.size()) : 1;
}

int NavBooksViewController::numberOfRows(int section)
{
    if (isSearching())
        return int(filteredBooks_.size());
    if (useSections_)
        return section < int(sections_.size()) ? int(sections_[size_t(section)].size()) : 0;
    return int(books_.size());
}

TableCell NavBooksViewController::cellForRow(const IndexPath &path)
{
    TableCell cell;
    const NavBook *book = bookAt(path);
    if (!book)
        return cell;
    cell.text = book->title();
    if (!book->rank().isNull()) {
        cell.style = TableCell::Style::Subtitle;
        cell.detailText = localized("Rank: %@").replace(QStringLiteral("%@"), book->rank());
    }
    if (!useSections_ || isSearching())
        cell.accessory = TableCell::Accessory::DisclosureIndicator;
    return cell;
}

QString NavBooksViewController::titleForHeader(int section)
{
    // Empty letters take no room in the list; the index still offers them.
    if (!useSections_ || isSearching() || section >= int(sections_.size()) ||
        sections_[size_t(section)].empty())
        return {};
    return collation_->sectionTitles().value(section);
}

QStringList NavBooksViewController::sectionIndexTitles()
{
    if (!useSections_ || isSearching() || !collation_)
        return {};
    return collation_->sectionTitles();
}

bool NavBooksViewController::willSelectRow(const IndexPath &)
{
    if (!context_.isReachable()) {
        CannotConnectMessage();
        return false;
    }
    return true;
}

void NavBooksViewController::didSelectRow(const IndexPath &path)
{
    const NavBook *book = bookAt(path);
    if (book && context_.openBook)
        context_.openBook(*this, *book, rootURLString_, rootTitle_);
}
