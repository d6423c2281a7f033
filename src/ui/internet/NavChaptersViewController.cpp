#include "ui/internet/NavChaptersViewController.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>

#include "catalogue/NavChaptersFetcherQueueWrapper.h"
#include "download/DeducerFetcher.h"
#include "files/FSStats.h"
#include "files/UrlStringJoins.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"
#include "foundation/NotificationCenter.h"
#include "settings/SettingsKeys.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "store/BooksRequest.h"
#include "store/Download.h"
#include "store/DownloadsRequest.h"
#include "ui/internet/LicenseViewController.h"
#include "ui/internet/NavTitleView.h"
#include "ui/internet/NavChapterDisabledCell.h"
#include "ui/internet/NavChapterEnabledCell.h"
#include "ui/internet/NavChapterSmallDisabledCell.h"
#include "ui/internet/NavChapterSmallEnabledCell.h"
#include "ui/kit/ActivityIndicatorView.h"
#include "ui/kit/Icons.h"
#include "ui/kit/MyHelpAlertViewController.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/NavigationItem.h"
#include "ui/kit/SearchBar.h"
#include "ui/kit/TableView.h"

namespace {

// A bulk request may take a while to fetch: it asks for more room than one chapter.
constexpr int BulkDownloadSpaceMB = 550;
constexpr int NextPageRowHeight = 44;

void fatalFetchAlert(const Error &error)
{
    AlertWithTitleAndError(localized("Fatal! Please exit the application"), error);
}

} // namespace

NavChaptersViewController::NavChaptersViewController(NavScreenContext context, const NavBook &book,
                                                     const QString &rootURLString, const QString &rootTitle,
                                                     bool showAddFavorites, QWidget *parent)
    : NavBaseChaptersViewController(std::move(context), rootURLString, rootTitle, parent), book_(book),
      showAddFavorites_(showAddFavorites)
{
    setTitle(book_.title());
}

NavChaptersViewController::~NavChaptersViewController() = default;

QWidget *NavChaptersViewController::createTopBar()
{
    bulkBar_ = new QWidget;
    bulkBar_->setObjectName(QStringLiteral("NavChaptersBulkBar"));
    bulkBar_->setAttribute(Qt::WA_StyledBackground);
    bulkBar_->setStyleSheet(QStringLiteral("#NavChaptersBulkBar { background: #d3d7dc; }"));
    auto *row = new QHBoxLayout(bulkBar_);
    row->setContentsMargins(8, 4, 8, 4);
    bulkDownloadButton_ = new QPushButton(
        localized("Download %d").replace(QStringLiteral("%d"), QString::number(BulkDownloadCount)), bulkBar_);
    jumpToHighestDLButton_ = new QPushButton(localized("Jump to DL'ed"), bulkBar_);
    for (QPushButton *button : {bulkDownloadButton_, jumpToHighestDLButton_}) {
        QFont font = button->font();
        font.setBold(true);
        font.setPixelSize(12);
        button->setFont(font);
        button->setMinimumHeight(36);
        row->addWidget(button, 1);
    }
    connect(bulkDownloadButton_, &QPushButton::clicked, this, &NavChaptersViewController::bulkDownload);
    connect(jumpToHighestDLButton_, &QPushButton::clicked, this,
            &NavChaptersViewController::jumpToLastDownloadedChapter);
    bulkBar_->hide();
    return bulkBar_;
}

void NavChaptersViewController::viewDidLoad()
{
    NavBaseChaptersViewController::viewDidLoad();
    if (showAddFavorites_) {
        addFavoritesAction_ = new QAction(QStringLiteral("+"), this);
        addFavoritesAction_->setToolTip(localized("Add to favorites"));
        connect(addFavoritesAction_, &QAction::triggered, this, &NavChaptersViewController::addToFavorites);
        navigationItem()->setRightBarButtonItem(addFavoritesAction_);
    }
    fetchExistingChapters();

    helpViewController_ = new MyHelpAlertViewController(
        localized("Did you know?"),
        localized("-Add to your favorites list by tapping the + button above.") + u'\n' +
            localized("-See details by tapping the manga title above."),
        this, [this](MyAlertViewController *) {
            if (context_.services.userDefaults)
                helpViewController_->dismiss(*context_.services.userDefaults, SettingsKeys::favoritesHelp);
        });
    helpViewController_->setParent(this);
    helpViewController_->hide();

    // The title names the book and opens its details, once the site gave them.
    infoButton_ = new NavTitleView(book_.title(), this);
    infoButton_->setIcon(
        Icons::icon(QStringLiteral("navinfobutton"), Qt::white, QColor(0x80, 0x80, 0x80), {20, 20}));
    infoButton_->setIconSize({20, 20});
    infoButton_->setFullText(book_.title());
    connect(infoButton_, &QToolButton::clicked, this, &NavChaptersViewController::showBookInfo);
    navigationItem()->setTitleView(infoButton_);

    licenseViewController_ = new LicenseViewController(book_.title(), context_.services, this);

    nextPageActivityIndicator_ = new ActivityIndicatorView(QColor(0x40, 0x40, 0x40), this);
    nextPageActivityIndicator_->hide();

    setListControlsEnabled(false);
    fetch();
}

void NavChaptersViewController::setListControlsEnabled(bool enabled)
{
    infoButton_->setEnabled(enabled);
    if (addFavoritesAction_)
        addFavoritesAction_->setEnabled(enabled);
    bulkBar_->setVisible(enabled);
    bulkDownloadButton_->setEnabled(enabled);
    jumpToHighestDLButton_->setEnabled(enabled);
}

void NavChaptersViewController::fetch()
{
    if (!context_.chaptersFetcher)
        return;
    appendingNextPage_ = false;
    showLoadingView();
    context_.chaptersFetcher->goWithURLString(
        urlStringByAppendingPathComponent(rootURLString_, book_.urlString()));
}

void NavChaptersViewController::fetchNextPage()
{
    if (!context_.chaptersFetcher)
        return;
    const QString nextPage = context_.chaptersFetcher->nextPage();
    context_.chaptersFetcher->cancel();
    appendingNextPage_ = true;
    nextPageActivityIndicator_->startAnimating();
    context_.chaptersFetcher->goWithURLString(urlStringByAppendingPathComponent(rootURLString_, nextPage));
}

void NavChaptersViewController::observeFetcher()
{
    NotificationCenter &center = NotificationCenter::defaultCenter();
    center.addObserver(this, NavChaptersFetcherQueueWrapper::didFinishNotification(),
                       [this] { updateTable(); });
    center.addObserver(this, NavChaptersFetcherQueueWrapper::didFailNotification(),
                       [this] { updateTable(); });
}

void NavChaptersViewController::viewWillAppear()
{
    NavBaseChaptersViewController::viewWillAppear();
    // The list's fetch may have ended while another screen covered this one.
    if (isLoading() && context_.chaptersFetcher && context_.chaptersFetcher->queue().operationCount() == 0)
        updateTable();
    // Coming back (from the book's details, a favourite, another tab): a
    // chapter may have been saved or read meanwhile.
    if (shownOnce_ && !chapters_.isEmpty()) {
        fetchExistingChapters();
        lastDownloadedChapterTableViewRow_ = rowOfLastDownloadedChapter();
        reloadData();
        jumpToLastDownloadedChapter();
    }
    shownOnce_ = true;
}

void NavChaptersViewController::viewDidAppear()
{
    if (context_.services.userDefaults)
        helpViewController_->showIfNeeded(this, *context_.services.userDefaults, SettingsKeys::favoritesHelp);
}

void NavChaptersViewController::updateTable()
{
    if (!context_.chaptersFetcher)
        return;
    const NavChaptersFetcherQueueWrapper &wrapper = *context_.chaptersFetcher;
    if (appendingNextPage_)
        chapters_.append(wrapper.chapters());
    else
        chapters_ = wrapper.chapters();
    if (wrapper.navBookInfo())
        navBookInfo_ = *wrapper.navBookInfo();
    appendingNextPage_ = false;
    setListControlsEnabled(true);
    filterContentForSearchText(searchBar_->text());
    lastDownloadedChapterTableViewRow_ = rowOfLastDownloadedChapter();
    reloadData();
    hideLoadingView();
    nextPageActivityIndicator_->stopAnimating();
    if (!licenseShown_ && !navBookInfo_.license.isEmpty()) {
        licenseShown_ = true;
        licenseViewController_->showLicenseInfo(navBookInfo_.license);
    }
}

void NavChaptersViewController::fetchExistingChapters()
{
    chaptersDictionary_.clear();
    deductionErrors_.clear();
    lastDownloadedChapter_.reset();
    if (!context_.services.appData)
        return;
    ManagedObjectContext &store = *context_.services.appData->managedObjectContext();
    std::optional<Error> error;
    const auto downloads = store.fetch<Download>(DownloadsRequest(book_.title(), rootTitle_), &error);
    if (error)
        return fatalFetchAlert(*error);
    const auto books = store.fetch<Book>(BooksRequest(book_.title(), rootTitle_), &error);
    if (error)
        return fatalFetchAlert(*error);
    std::vector<std::shared_ptr<Chapter>> chapters;
    if (books.size() == 1) {
        chapters = books.front()->chapters();
        std::stable_sort(chapters.begin(), chapters.end(), [](const auto &a, const auto &b) {
            return a->number().value_or(Decimal::notANumber()) < b->number().value_or(Decimal::notANumber());
        });
    }

    // Downloads come in number order.
    std::optional<Decimal> lastDownload;
    for (const auto &download : downloads) {
        const auto number = download->number();
        if (number && download->nextChapterURL().isEmpty())
            chaptersDictionary_.insert(*number);
        else if (number)
            deductionErrors_[*number] = download->nextChapterURL();
        if (number && download->isComplete())
            lastDownload = number;
    }
    std::optional<Decimal> lastChapter;
    for (const auto &chapter : chapters) {
        const auto number = chapter->number();
        if (!number)
            continue;
        chaptersDictionary_.insert(*number);
        if (chapter->isComplete())
            lastChapter = number;
    }
    // A library chapter wins only with a higher whole number: a download of
    // the same chapter is the newer copy.
    if (lastDownload && lastChapter)
        lastDownloadedChapter_ =
            lastChapter->integerPart() > lastDownload->integerPart() ? lastChapter : lastDownload;
    else
        lastDownloadedChapter_ = lastDownload ? lastDownload : lastChapter;
}

int NavChaptersViewController::rowOfLastDownloadedChapter() const
{
    if (!lastDownloadedChapter_)
        return -1;
    for (qsizetype row = 0; row < chapters_.size(); ++row)
        if (chapters_[row].number() && *chapters_[row].number() == *lastDownloadedChapter_)
            return int(row);
    return -1;
}

void NavChaptersViewController::reloadMarks()
{
    fetchExistingChapters();
    lastDownloadedChapterTableViewRow_ = rowOfLastDownloadedChapter();
    reloadData();
}

void NavChaptersViewController::jumpToLastDownloadedChapter()
{
    if (lastDownloadedChapterTableViewRow_ < 0 || isSearching())
        return;
    // Rows above it fill the upper half, so the row lands mid-screen.
    const int rowsAbove = tableView_->height() / 2 / std::max(1, tableView_->rowHeight() + 8);
    tableView_->scrollToRow({0, std::max(0, lastDownloadedChapterTableViewRow_ - rowsAbove)});
}

bool NavChaptersViewController::hasNextPageRow() const
{
    return context_.chaptersFetcher && !context_.chaptersFetcher->nextPage().isEmpty() &&
           !chapters_.isEmpty() && !isSearching();
}

NavBook NavChaptersViewController::bookForRow(int) const
{
    return book_;
}

std::unique_ptr<NavChapterBaseCell> NavChaptersViewController::chapterCellForRow(int row) const
{
    const NavChapter *chapter = chapterAt(row);
    if (!chapter)
        return nullptr;
    const auto download = queuedOrDownloadingChapters_.value(downloadKey(book_.title(), chapter->title()));
    QString subtitle;
    if (chapter->number() && chaptersDictionary_.contains(*chapter->number())) {
        if (lastDownloadedChapter_ && *chapter->number() == *lastDownloadedChapter_)
            subtitle = localized("Highest downloaded chapter");
        else if (download)
            subtitle =
                download->nextChapterURL().isEmpty() ? localized("Downloading") : download->nextChapterURL();
        else
            subtitle = localized("Downloaded");
    } else if (chapter->number()) {
        if (const auto failed = deductionErrors_.find(*chapter->number()); failed != deductionErrors_.end())
            subtitle = failed->second;
    }
    if (subtitle.isEmpty()) {
        if (download)
            return std::make_unique<NavChapterSmallDisabledCell>(chapter->title());
        return std::make_unique<NavChapterSmallEnabledCell>(chapter->title());
    }
    if (download)
        return std::make_unique<NavChapterDisabledCell>(chapter->title(), subtitle);
    return std::make_unique<NavChapterEnabledCell>(chapter->title(), subtitle);
}

int NavChaptersViewController::numberOfRows(int section)
{
    return NavBaseChaptersViewController::numberOfRows(section) + (hasNextPageRow() ? 1 : 0);
}

TableCell NavChaptersViewController::cellForRow(const IndexPath &path)
{
    if (!hasNextPageRow() || path.row < chapters_.size())
        return NavBaseChaptersViewController::cellForRow(path);
    TableCell cell;
    cell.text = localized("Next Page");
    cell.textColor = QColor(0x40, 0x40, 0x40);
    cell.accessoryView = nextPageActivityIndicator_;
    return cell;
}

int NavChaptersViewController::heightForRow(const IndexPath &path)
{
    if (hasNextPageRow() && path.row >= chapters_.size())
        return NextPageRowHeight;
    return NavBaseChaptersViewController::heightForRow(path);
}

bool NavChaptersViewController::willSelectRow(const IndexPath &path)
{
    return hasNextPageRow() && path.row >= chapters_.size();
}

void NavChaptersViewController::didSelectRow(const IndexPath &path)
{
    tableView_->deselectRow();
    if (hasNextPageRow() && path.row >= chapters_.size())
        fetchNextPage();
}

bool NavChaptersViewController::precheckBulkDownload()
{
    if (!context_.isReachable()) {
        CannotConnectMessage();
        return false;
    }
    if (!DiskSpaceOk(BulkDownloadSpaceMB))
        return false;
    for (const auto &download : std::as_const(queuedOrDownloadingChapters_)) {
        if (download->bookTitle() == book_.title()) {
            AlertWithTitle(localized("Cannot download in bulk when already downloading or queued"));
            return false;
        }
    }
    return true;
}

void NavChaptersViewController::bulkDownload()
{
    if (!precheckBulkDownload() || !context_.deducerFetcher || chapters_.isEmpty())
        return;
    // The list runs newest first, so the chapters after the highest one
    // downloaded are the rows above it.
    const int start = lastDownloadedChapterTableViewRow_ >= 0 ? lastDownloadedChapterTableViewRow_ - 1
                                                              : int(chapters_.size()) - 1;
    int firstRow = -1;
    for (int row = start, taken = 0; row >= 0 && taken < BulkDownloadCount; --row, ++taken) {
        const NavChapter chapter = chapters_[row];
        auto download =
            context_.deducerFetcher->goWithChapter(&chapter, &book_, rootTitle_, rootURLString_, false);
        if (!download)
            break;
        queuedOrDownloadingChapters_.insert(downloadKey(book_.title(), chapter.title()), download);
        if (firstRow < 0)
            firstRow = row;
    }
    reloadMarks();
    if (firstRow >= 0 && !isSearching()) {
        const int rowsAbove = tableView_->height() / 2 / std::max(1, tableView_->rowHeight() + 8);
        tableView_->scrollToRow({0, std::max(0, firstRow - rowsAbove)});
    }
    if (context_.services.appData)
        context_.services.appData->save();
}

void NavChaptersViewController::showBookInfo()
{
    NavBookInfoViewController::resolveCoverURL(navBookInfo_, rootURLString_);
    auto details = std::make_unique<NavBookInfoViewController>(book_.title(), navBookInfo_, this);
    auto stack = std::make_unique<NavigationController>(std::move(details));
    stack->navigationBar()->setBarStyle(NavigationBar::Style::Black);
    presentModalViewController(std::move(stack));
}

void NavChaptersViewController::navBookInfoViewControllerDidSelectDismiss(NavBookInfoViewController *)
{
    dismissModalViewController();
}

void NavChaptersViewController::addToFavorites()
{
    AppData *appData = context_.services.appData;
    if (!appData)
        return;
    auto favorite =
        appData->createFavoriteWithTitle(book_.title(), book_.urlString(), rootURLString_, rootTitle_);
    auto panel =
        std::make_unique<NavFavoriteDetailViewController>(std::move(favorite), context_.services, this);
    auto stack = std::make_unique<NavigationController>(std::move(panel));
    stack->navigationBar()->setBarStyle(NavigationBar::Style::Black);
    presentModalViewController(std::move(stack));
}

void NavChaptersViewController::navFavoriteDetailViewControllerFinished(NavFavoriteDetailViewController *)
{
    dismissModalViewController();
}
