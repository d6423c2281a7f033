#include "ui/internet/NavBaseChaptersViewController.h"

#include <QLabel>
#include <QVBoxLayout>

#include "download/DeducerFetcher.h"
#include "download/FetcherQueueWrapper.h"
#include "files/FSStats.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"
#include "foundation/NotificationCenter.h"
#include "store/AppData.h"
#include "store/Download.h"
#include "store/DownloadsRequest.h"
#include "ui/internet/NavChapterBaseCell.h"
#include "ui/kit/ActivityIndicatorView.h"
#include "ui/kit/SearchBar.h"
#include "ui/kit/TableView.h"

namespace {

// More than this much must be free before one chapter is requested.
constexpr int DownloadSpaceMB = 250;
constexpr QSize LoadingViewSize{200, 100};

} // namespace

NavBaseChaptersViewController::NavBaseChaptersViewController(NavScreenContext context,
                                                             const QString &rootURLString,
                                                             const QString &rootTitle, QWidget *parent)
    : ViewController(parent), context_(std::move(context)), rootURLString_(rootURLString),
      rootTitle_(rootTitle)
{}

NavBaseChaptersViewController::~NavBaseChaptersViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (tableView_) {
        tableView_->setDataSource(nullptr);
        tableView_->setDelegate(nullptr);
    }
}

QString NavBaseChaptersViewController::downloadKey(const QString &bookTitle, const QString &chapterTitle)
{
    return bookTitle + chapterTitle;
}

bool NavBaseChaptersViewController::isQueuedOrDownloading(const QString &bookTitle,
                                                          const NavChapter &chapter) const
{
    return queuedOrDownloadingChapters_.contains(downloadKey(bookTitle, chapter.title()));
}

bool NavBaseChaptersViewController::isSearching() const
{
    return searchBar_ && !searchBar_->text().isEmpty();
}

bool NavBaseChaptersViewController::isLoading() const
{
    return loadingView_ && !loadingView_->isHidden();
}

void NavBaseChaptersViewController::viewDidLoad()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    tableView_ = new TableView(TableView::Style::Plain, this);

    auto *top = new QWidget;
    auto *topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->setSpacing(0);
    if (QWidget *bar = createTopBar())
        topLayout->addWidget(bar);
    searchBar_ = new SearchBar(this, top);
    topLayout->addWidget(searchBar_);
    tableView_->setTableHeaderView(top);
    layout->addWidget(tableView_);

    connect(searchBar_, &SearchBar::textDidChange, this, [this](const QString &text) {
        filterContentForSearchText(text);
        reloadData();
    });
    connect(searchBar_, &SearchBar::cancelButtonClicked, this, [this] {
        filterContentForSearchText(QString());
        reloadData();
    });

    loadingView_ = new QWidget(this);
    loadingView_->setObjectName(QStringLiteral("NavLoadingView"));
    loadingView_->setAttribute(Qt::WA_StyledBackground);
    loadingView_->setStyleSheet(
        QStringLiteral("#NavLoadingView { background: rgba(0, 0, 0, 180); border-radius: 10px; }"));
    loadingView_->setFixedSize(LoadingViewSize);
    auto *loadingLayout = new QVBoxLayout(loadingView_);
    loadingIndicator_ = new ActivityIndicatorView(Qt::white, loadingView_);
    loadingLayout->addWidget(loadingIndicator_, 0, Qt::AlignHCenter);
    auto *loadingLabel = new QLabel(localized("Loading..."), loadingView_);
    loadingLabel->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    loadingLayout->addWidget(loadingLabel, 0, Qt::AlignHCenter);
    loadingView_->hide();

    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
}

void NavBaseChaptersViewController::resizeEvent(QResizeEvent *event)
{
    ViewController::resizeEvent(event);
    if (const int column = NavChapterBaseCell::titleColumnForWidth(width()); column != rowHeightsColumn_) {
        rowHeightsColumn_ = column;
        rowHeights_.clear();
        reloadData();
    }
    if (loadingView_)
        loadingView_->move((width() - loadingView_->width()) / 2, (height() - loadingView_->height()) / 2);
}

void NavBaseChaptersViewController::showLoadingView()
{
    loadingView_->move((width() - loadingView_->width()) / 2, (height() - loadingView_->height()) / 2);
    loadingView_->show();
    loadingView_->raise();
    loadingIndicator_->startAnimating();
}

void NavBaseChaptersViewController::hideLoadingView()
{
    loadingIndicator_->stopAnimating();
    loadingView_->hide();
}

void NavBaseChaptersViewController::viewWillAppear()
{
    findQueuedOrDownloadingChapters();
    observeFetcher();
    NotificationCenter &center = NotificationCenter::defaultCenter();
    // A download that ends changes its row: saved to the library, complete,
    // or failed with its reason.
    for (const QString &name :
         {FetcherQueueWrapper::queueDidFinishForNavChaptersNotification(),
          FetcherQueueWrapper::queueDidFinishNotification(), DeducerFetcher::deducerDidFailNotification()})
        center.addObserver(this, name, [this] { downloadsChanged(); });
}

void NavBaseChaptersViewController::viewWillDisappear()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void NavBaseChaptersViewController::downloadsChanged()
{
    findQueuedOrDownloadingChapters();
    reloadMarks();
}

void NavBaseChaptersViewController::reloadMarks()
{
    reloadData();
}

void NavBaseChaptersViewController::reloadData()
{
    if (tableView_)
        tableView_->reloadData();
}

void NavBaseChaptersViewController::findQueuedOrDownloadingChapters()
{
    queuedOrDownloadingChapters_.clear();
    if (!context_.services.appData)
        return;
    std::optional<Error> error;
    const auto downloads =
        context_.services.appData->managedObjectContext()->fetch<Download>(DownloadsRequest(), &error);
    if (error) {
        AlertWithTitleAndError(localized("Fatal! Please exit the application"), *error);
        return;
    }
    for (const auto &download : downloads)
        if (download->isQueued() || download->isDownloading())
            queuedOrDownloadingChapters_.insert(downloadKey(download->bookTitle(), download->title()),
                                                download);
}

void NavBaseChaptersViewController::filterContentForSearchText(const QString &text)
{
    filteredChapters_.clear();
    if (text.isEmpty())
        return;
    for (const NavChapter &chapter : std::as_const(chapters_))
        if (chapter.title().contains(text, Qt::CaseInsensitive))
            filteredChapters_.append(chapter);
}

const NavChapter *NavBaseChaptersViewController::chapterAt(int row) const
{
    const QList<NavChapter> &shown = isSearching() ? filteredChapters_ : chapters_;
    return row >= 0 && row < shown.size() ? &shown[row] : nullptr;
}

int NavBaseChaptersViewController::chapterRowCount() const
{
    return int(isSearching() ? filteredChapters_.size() : chapters_.size());
}

int NavBaseChaptersViewController::numberOfRows(int)
{
    return chapterRowCount();
}

TableCell NavBaseChaptersViewController::cellForRow(const IndexPath &path)
{
    const std::unique_ptr<NavChapterBaseCell> cell = chapterCellForRow(path.row);
    if (!cell)
        return {};
    TableCell tableCell = cell->tableCell(tableView_->font());
    if (!cell->hasButton())
        tableCell.textColor = QColor(0x80, 0x80, 0x80);
    return tableCell;
}

int NavBaseChaptersViewController::heightForRow(const IndexPath &path)
{
    const NavChapter *chapter = chapterAt(path.row);
    if (!chapter)
        return 0;
    const std::unique_ptr<NavChapterBaseCell> cell = chapterCellForRow(path.row);
    const QString &text = cell ? cell->mainLabel : chapter->title();
    auto found = rowHeights_.constFind(text);
    if (found == rowHeights_.constEnd())
        found = rowHeights_.insert(
            text, NavChapterBaseCell::cellHeightForString(text, tableView_->font(), rowHeightsColumn_));
    return *found;
}

bool NavBaseChaptersViewController::willSelectRow(const IndexPath &)
{
    // Chapters are downloaded with their button; choosing the row does nothing.
    return false;
}

void NavBaseChaptersViewController::rowButtonTapped(const IndexPath &path)
{
    downloadAction(path);
}

bool NavBaseChaptersViewController::precheckDownloadAction()
{
    if (!context_.isReachable()) {
        CannotConnectMessage();
        return false;
    }
    if (!DiskSpaceOk(DownloadSpaceMB))
        return false;
    const bool full = context_.waitQueueIsFull
                          ? context_.waitQueueIsFull()
                          : context_.deducerFetcher && context_.deducerFetcher->waitQueueIsFull();
    if (full) {
        AlertWithTitleAndMessage(localized("Queue is full"), QString());
        return false;
    }
    return true;
}

void NavBaseChaptersViewController::downloadAction(const IndexPath &path)
{
    if (!precheckDownloadAction())
        return;
    const NavChapter *chapter = chapterAt(path.row);
    if (!chapter || !context_.deducerFetcher)
        return;
    selectedChapter_ = *chapter;
    const NavBook book = bookForRow(path.row);
    if (auto download =
            context_.deducerFetcher->goWithChapter(&selectedChapter_, &book, rootTitle_, rootURLString_))
        queuedOrDownloadingChapters_.insert(downloadKey(book.title(), selectedChapter_.title()), download);
    reloadMarks();
}
