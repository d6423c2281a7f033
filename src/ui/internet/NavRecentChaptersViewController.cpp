#include "ui/internet/NavRecentChaptersViewController.h"

#include <QAction>
#include <QHBoxLayout>
#include <QToolButton>

#include "catalogue/NavRecentChaptersFetcherQueueWrapper.h"
#include "files/UrlStringJoins.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"
#include "foundation/NotificationCenter.h"
#include "store/AppData.h"
#include "store/Favorite.h"
#include "store/FavoritesRequest.h"
#include "ui/internet/NavChapterSmallDisabledCell.h"
#include "ui/internet/NavChapterSmallEnabledCell.h"
#include "ui/internet/NavTitleView.h"
#include "ui/kit/NavigationItem.h"
#include "ui/kit/SearchBar.h"

NavRecentChaptersViewController::NavRecentChaptersViewController(
    NavScreenContext context, const QString &rootURLString, const QString &rootTitle, const QString &title,
    const QString &directoryURLString, QWidget *parent)
    : NavBaseChaptersViewController(std::move(context), rootURLString, rootTitle, parent),
      directoryURLString_(directoryURLString)
{
    setTitle(title);
}

NavRecentChaptersViewController::~NavRecentChaptersViewController() = default;

QString NavRecentChaptersViewController::rowLabel(const QString &bookTitle, const QString &chapterTitle)
{
    QString chapter = chapterTitle;
    if (!bookTitle.isEmpty())
        chapter.remove(bookTitle);
    return bookTitle + u' ' + chapter;
}

QWidget *NavRecentChaptersViewController::createTopBar()
{
    // Under the navigation bar rather than in it: beside the back button a
    // phone's bar leaves the title no room.
    favoritesBar_ = new QWidget;
    favoritesBar_->setObjectName(QStringLiteral("NavRecentFavoritesBar"));
    favoritesBar_->setAttribute(Qt::WA_StyledBackground);
    favoritesBar_->setStyleSheet(QStringLiteral("#NavRecentFavoritesBar { background: #d3d7dc; }"));
    auto *row = new QHBoxLayout(favoritesBar_);
    row->setContentsMargins(8, 4, 8, 4);
    showFavoritesAction_ = new QAction(localized("Show Favorites"), this);
    connect(showFavoritesAction_, &QAction::triggered, this,
            &NavRecentChaptersViewController::toggleShowFavorites);
    auto *button = new QToolButton(favoritesBar_);
    button->setDefaultAction(showFavoritesAction_);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setMinimumHeight(32);
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    row->addWidget(button);
    favoritesBar_->hide();
    return favoritesBar_;
}

void NavRecentChaptersViewController::viewDidLoad()
{
    NavBaseChaptersViewController::viewDidLoad();
    auto *titleView = new NavTitleView(title(), this);
    titleView->setFocusPolicy(Qt::NoFocus);
    titleView->setAttribute(Qt::WA_TransparentForMouseEvents);
    navigationItem()->setTitleView(titleView);
    showFavoritesAction_->setEnabled(false);
    fetch();
}

void NavRecentChaptersViewController::viewWillAppear()
{
    NavBaseChaptersViewController::viewWillAppear();
    // A favourite may have been added or changed meanwhile.
    if (!chapters_.isEmpty()) {
        rebuildFavorites();
        filterContentForSearchText(searchBar_->text());
        reloadData();
    }
}

void NavRecentChaptersViewController::fetch()
{
    if (!context_.recentChaptersFetcher)
        return;
    showLoadingView();
    context_.recentChaptersFetcher->goWithURLString(
        urlStringByAppendingPathComponent(rootURLString_, directoryURLString_));
}

void NavRecentChaptersViewController::observeFetcher()
{
    NotificationCenter &center = NotificationCenter::defaultCenter();
    center.addObserver(this, NavRecentChaptersFetcherQueueWrapper::didFinishNotification(),
                       [this] { updateTable(); });
    center.addObserver(this, NavRecentChaptersFetcherQueueWrapper::didFailNotification(),
                       [this] { updateTable(); });
}

void NavRecentChaptersViewController::updateTable()
{
    if (!context_.recentChaptersFetcher)
        return;
    const NavRecentChaptersFetcherQueueWrapper &wrapper = *context_.recentChaptersFetcher;
    chapters_ = wrapper.chapters();
    books_ = wrapper.books();
    dates_ = wrapper.dates();
    labels_ = wrapper.labels();
    rebuildFavorites();
    filterContentForSearchText(searchBar_->text());
    favoritesBar_->show();
    showFavoritesAction_->setEnabled(true);
    reloadData();
    hideLoadingView();
}

void NavRecentChaptersViewController::rebuildFavorites()
{
    favoritesDict_.clear();
    favoritesChapters_.clear();
    favoritesBooks_.clear();
    favoritesDates_.clear();
    favoritesLabels_.clear();
    if (!context_.services.appData)
        return;
    std::optional<Error> error;
    const auto favorites =
        context_.services.appData->managedObjectContext()->fetch<Favorite>(FavoritesRequest(), &error);
    if (error) {
        AlertWithTitleAndError(localized("Fatal! Please exit the application"), *error);
        return;
    }
    for (const auto &favorite : favorites)
        favoritesDict_.insert(favorite->title());
    for (qsizetype i = 0; i < books_.size() && i < chapters_.size(); ++i) {
        if (!favoritesDict_.contains(books_[i].title()))
            continue;
        favoritesChapters_.append(chapters_[i]);
        favoritesBooks_.append(books_[i]);
        favoritesDates_.append(dates_.value(i));
        favoritesLabels_.append(labels_.value(i));
    }
}

void NavRecentChaptersViewController::toggleShowFavorites()
{
    if (isSearching())
        return;
    showingFavorites_ = !showingFavorites_;
    showFavoritesAction_->setText(showingFavorites_ ? localized("Show All") : localized("Show Favorites"));
    reloadData();
}

void NavRecentChaptersViewController::filterContentForSearchText(const QString &text)
{
    filteredChapters_.clear();
    filteredBooks_.clear();
    if (text.isEmpty())
        return;
    const QList<NavChapter> &chapters = showingFavorites_ ? favoritesChapters_ : chapters_;
    const QList<NavBook> &books = showingFavorites_ ? favoritesBooks_ : books_;
    for (qsizetype i = 0; i < chapters.size() && i < books.size(); ++i) {
        if (chapters[i].title().contains(text, Qt::CaseInsensitive) ||
            books[i].title().contains(text, Qt::CaseInsensitive)) {
            filteredChapters_.append(chapters[i]);
            filteredBooks_.append(books[i]);
        }
    }
}

const QList<NavBook> &NavRecentChaptersViewController::shownBooks() const
{
    if (isSearching())
        return filteredBooks_;
    return showingFavorites_ ? favoritesBooks_ : books_;
}

const NavChapter *NavRecentChaptersViewController::chapterAt(int row) const
{
    const QList<NavChapter> &shown =
        isSearching() ? filteredChapters_ : (showingFavorites_ ? favoritesChapters_ : chapters_);
    return row >= 0 && row < shown.size() ? &shown[row] : nullptr;
}

int NavRecentChaptersViewController::chapterRowCount() const
{
    return int(shownBooks().size());
}

NavBook NavRecentChaptersViewController::bookForRow(int row) const
{
    return shownBooks().value(row);
}

std::unique_ptr<NavChapterBaseCell> NavRecentChaptersViewController::chapterCellForRow(int row) const
{
    const NavChapter *chapter = chapterAt(row);
    if (!chapter)
        return nullptr;
    const NavBook book = bookForRow(row);
    const QString label = rowLabel(book.title(), chapter->title());
    if (isQueuedOrDownloading(book.title(), *chapter))
        return std::make_unique<NavChapterSmallDisabledCell>(label);
    return std::make_unique<NavChapterSmallEnabledCell>(label);
}
