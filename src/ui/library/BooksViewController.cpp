#include "ui/library/BooksViewController.h"

#include <QEvent>
#include <QListView>
#include <QTimer>
#include <QVBoxLayout>

#include "download/LibraryQueues.h"
#include "download/RemovePathsQueueWrapper.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Device.h"
#include "foundation/Localized.h"
#include "foundation/NotificationCenter.h"
#include "foundation/WaitOverlay.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "store/BooksRequest.h"
#include "store/Chapter.h"
#include "store/IsDownloading.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/NavigationItem.h"
#include "ui/kit/TabBarItem.h"
#include "ui/kit/TableView.h"
#include "ui/library/ChaptersViewController.h"

namespace {
constexpr int RowHeight = 44;
constexpr int TitlePixels = 17;
} // namespace

BooksViewController::BooksViewController(ScreenServices services, QWidget *parent)
    : ViewController(parent), services_(std::move(services))
{
    setTitle(localized("Library"));
    tabBarItem()->setImageName(QStringLiteral("tab-library"));
}

BooksViewController::~BooksViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (tableView_) {
        tableView_->setDataSource(nullptr);
        tableView_->setDelegate(nullptr);
    }
}

void BooksViewController::viewDidLoad()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tableView_ = new TableView(TableView::Style::Plain, this);
    tableView_->setRowHeight(RowHeight);
    tableView_->setAllowsSelectionDuringEditing(false);
    layout->addWidget(tableView_);
    tableView_->listView()->viewport()->installEventFilter(this);
    navigationItem()->setRightBarButtonItem(editButtonItem());
    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
    checkRemainingRemovePaths();
}

void BooksViewController::setEditing(bool editing)
{
    ViewController::setEditing(editing);
    if (tableView_)
        tableView_->setEditing(editing);
}

void BooksViewController::viewWillAppear()
{
    if (hasFetched_) {
        // The list the user last saw comes back at once, whatever the size of
        // the library; it is brought up to date once it has been painted
        // (eventFilter), so a large library does not hold the screen back.
        refreshPending_ = true;
    } else {
        fetchBooks();
        tableView_->reloadData();
    }
    if (selectedIndexPath_ && selectedIndexPath_->row < int(books_.size()))
        tableView_->selectRow(*selectedIndexPath_);
    NotificationCenter::defaultCenter().addObserver(this, RemovePathsQueueWrapper::DidFinishNotification,
                                                    [this] { removePathsDidFinish(); });
}

void BooksViewController::viewDidAppear()
{
    // Back on the list: no book is open any more.
    setRestoreLocation(0, -1);
    tableView_->deselectRow();
    selectedIndexPath_.reset();
}

void BooksViewController::viewWillDisappear()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void BooksViewController::setRestoreLocation(int index, int row)
{
    if (services_.booksRestoreLocation && index < services_.booksRestoreLocation->size())
        (*services_.booksRestoreLocation)[index] = row;
}

bool BooksViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && refreshPending_ && !refreshQueued_) {
        refreshQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            refreshQueued_ = false;
            if (refreshPending_)
                refresh();
        });
    }
    return ViewController::eventFilter(watched, event);
}

void BooksViewController::refresh()
{
    const auto shown = books_;
    fetchBooks();
    // The same books in the same order need a repaint (a title may have
    // changed), not a new layout of every row.
    if (books_ == shown && tableView_->numberOfRows(0) == int(books_.size()))
        tableView_->listView()->viewport()->update();
    else
        tableView_->reloadData();
    if (selectedIndexPath_ && selectedIndexPath_->row < int(books_.size()))
        tableView_->selectRow(*selectedIndexPath_);
}

void BooksViewController::fetchBooks()
{
    refreshPending_ = false;
    hasFetched_ = true;
    std::optional<Error> error;
    books_ = services_.appData->managedObjectContext()->fetch<Book>(BooksRequest(), &error);
    if (error) {
        books_.clear();
        AlertWithTitleAndError(localized("Fatal! Please exit the application"), *error);
    }
}

void BooksViewController::checkRemainingRemovePaths()
{
    if (Device::hasSwipe())
        return;
    // The start-up resumed what an earlier run left listed; only a removal
    // that is actually running may hold the overlay, or nothing would ever
    // take it down.
    RemovePathsQueueWrapper *wrapper = LibraryQueues::removePathsQueueWrapper();
    if (RemovePathsQueueWrapper::remainingPaths().isEmpty() || wrapper->queue().operationCount() == 0)
        return;
    NotificationCenter::defaultCenter().addObserver(this, RemovePathsQueueWrapper::DidFinishNotification,
                                                    [this] { removePathsDidFinish(); });
    WaitOverlay::instance().show();
}

void BooksViewController::removePathsDidFinish()
{
    WaitOverlay::instance().hide();
}

int BooksViewController::numberOfRows(int section)
{
    return section == 0 ? int(books_.size()) : 0;
}

TableCell BooksViewController::cellForRow(const IndexPath &path)
{
    TableCell cell;
    if (path.row < 0 || path.row >= int(books_.size()))
        return cell;
    const Book &book = *books_[path.row];
    cell.style = TableCell::Style::Subtitle;
    cell.text = book.title();
    cell.detailText = book.rootTitle();
    QFont font = tableView_->font();
    font.setBold(true);
    font.setPixelSize(TitlePixels);
    cell.font = font;
    cell.accessory = TableCell::Accessory::DisclosureIndicator;
    return cell;
}

void BooksViewController::didSelectRow(const IndexPath &path)
{
    // A row of the list shown before the update may no longer be that book.
    if (refreshPending_) {
        tableView_->deselectRow();
        refresh();
        return;
    }
    if (isEditing() || path.row < 0 || path.row >= int(books_.size()))
        return;
    selectedIndexPath_ = path;
    setRestoreLocation(0, path.row);
    setRestoreLocation(1, -1);
    pushChaptersForRow(path.row);
}

ChaptersViewController *BooksViewController::pushChaptersForRow(int row)
{
    NavigationController *nav = navigationController();
    if (!nav || row < 0 || row >= int(books_.size()))
        return nullptr;
    auto chapters = std::make_unique<ChaptersViewController>(books_[row], services_);
    ChaptersViewController *raw = chapters.get();
    nav->pushViewController(std::move(chapters));
    return raw;
}

void BooksViewController::restoreLocationWithSelectionArray(const QList<int> &selection)
{
    loadViewIfNeeded();
    fetchBooks();
    tableView_->reloadData();
    const int bookRow = selection.value(0, -1);
    if (bookRow < 0 || bookRow >= int(books_.size())) {
        setRestoreLocation(0, -1);
        return;
    }
    selectedIndexPath_ = IndexPath{0, bookRow};
    ChaptersViewController *chapters = pushChaptersForRow(bookRow);
    if (chapters && selection.value(1, -1) >= 0)
        chapters->restoreLocationWithSelection(selection.value(1));
}

void BooksViewController::commitDeleteRow(const IndexPath &path)
{
    if (refreshPending_) {
        refresh();
        return;
    }
    if (path.row < 0 || path.row >= int(books_.size()))
        return;
    deleteBookAtRow(path.row);
}

void BooksViewController::deleteBookAtRow(int row)
{
    if (IsDownloading()) {
        AlertWithMessage(localized("Cannot delete while downloading"));
        return;
    }
    const std::shared_ptr<Book> book = books_[row];
    const auto chapters = book->chapters();
    const int n = int(chapters.size());
    if (n > kMaxChapters) {
        AlertWithMessage(withArguments(
            localized("Over %d chapters to delete.  Please delete some individual chapters first.  Sorry."),
            {QString::number(kMaxChapters)}));
        return;
    }
    AppData &appData = *services_.appData;
    const QString bookDirectory = appData.bookDirectory(*book);
    if (n <= kForegroundChapters) {
        // A refused save keeps the book and its folder; the list shows what
        // is stored.
        if (LibraryQueues::removePathsQueueWrapper()->removeForeground({book}, {bookDirectory})) {
            fetchBooks();
            tableView_->reloadData();
            return;
        }
    } else {
        // Chapter by chapter, so that a removal cut short by an exit is
        // finished at the next start from where it stopped.
        QStringList paths;
        for (const auto &chapter : chapters)
            paths << appData.chapterDirectory(*chapter);
        paths << bookDirectory;
        LibraryQueues::removePathsQueueWrapper()->launchRemovePaths(paths, book);
        WaitOverlay::instance().show();
    }
    books_.erase(books_.begin() + row);
    selectedIndexPath_.reset();
    tableView_->reloadData();
}
