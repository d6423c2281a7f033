#include "ui/library/ChaptersViewController.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

#include "download/LibraryQueues.h"
#include "download/RemovePathsQueueWrapper.h"
#include "files/MyDirectories.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Decimal.h"
#include "foundation/Device.h"
#include "foundation/Localized.h"
#include "foundation/OperationQueue.h"
#include "foundation/WaitOverlay.h"
#include "ie/IEDBExporterOperation.h"
#include "settings/SettingsKeys.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "store/Chapter.h"
#include "store/IsDownloading.h"
#include "ui/kit/MyHelpAlertViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/NavigationItem.h"
#include "ui/kit/TableView.h"
#include "ui/library/ChapterCell.h"
#include "ui/library/ChaptersHeaderView.h"
#include "ui/pages/LibraryPagesViewController.h"

namespace {
constexpr int RowHeight = 44;

// Waits for a zip still being written without blocking its report, which
// waits for the main thread; a cancelled one reports nothing.
void drain(OperationQueue &queue, bool cancel)
{
    if (cancel)
        queue.cancelAllOperations();
    while (queue.operationCount() > 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

ChaptersViewController::ChaptersViewController(std::shared_ptr<Book> book, ScreenServices services,
                                               QWidget *parent)
    : ViewController(parent), book_(std::move(book)), services_(std::move(services))
{
    setTitle(book_->title());
}

ChaptersViewController::~ChaptersViewController()
{
    // A zip still being written reports to nobody.
    if (exportQueue_)
        drain(*exportQueue_, true);
    if (tableView_) {
        tableView_->setDataSource(nullptr);
        tableView_->setDelegate(nullptr);
    }
}

void ChaptersViewController::viewDidLoad()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    bookLabel_ = new QLabel(book_->title(), this);
    bookLabel_->setWordWrap(true);
    bookLabel_->setContentsMargins(10, 4, 10, 4);
    bookLabel_->setStyleSheet(QStringLiteral("background: #e8ebef; color: #333; font-weight: bold;"));
    // The phone's navigation bar already names the book; the tablet has room
    // for the full title over the list.
    bookLabel_->setVisible(Device::isPad());
    layout->addWidget(bookLabel_);
    tableView_ = new TableView(TableView::Style::Plain, this);
    tableView_->setRowHeight(RowHeight);
    tableView_->setAllowsSelectionDuringEditing(false);
    layout->addWidget(tableView_);
    navigationItem()->setRightBarButtonItem(editButtonItem());

    alertViewController_ = new MyHelpAlertViewController(
        localized("Did you know?"), localized("-Delete chapters in edit mode."), this,
        [this](MyAlertViewController *) {
            alertViewController_->dismiss(*services_.userDefaults, SettingsKeys::chaptersHelp);
        });
    alertViewController_->setParent(this);
    alertViewController_->hide();

    chaptersDeleterController_ = std::make_unique<ChaptersDeleterController>(book_, this);
    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
}

void ChaptersViewController::setEditing(bool editing)
{
    ViewController::setEditing(editing);
    if (!tableView_)
        return;
    tableView_->setEditing(editing);
    if (editing) {
        headerView_ = new ChaptersHeaderView;
        connect(headerView_, &ChaptersHeaderView::deleteReadClicked, this,
                &ChaptersViewController::deleteChaptersAction);
        tableView_->setTableHeaderView(headerView_);
    } else {
        tableView_->setTableHeaderView(nullptr);
        headerView_ = nullptr;
    }
    tableView_->reloadData();
}

void ChaptersViewController::viewWillAppear()
{
    chaptersDeleterController_->addToNotifications();
    fetchChapters();
    tableView_->reloadData();
    jumpToLastReadChapter();
    if (selectedIndexPath_ && selectedIndexPath_->row < int(chapters_.size())) {
        tableView_->selectRow(*selectedIndexPath_);
        tableView_->scrollToRow(*selectedIndexPath_);
    }
}

void ChaptersViewController::viewDidAppear()
{
    // Back on the list: no chapter is open any more.
    setRestoreLocation(-1);
    tableView_->deselectRow();
    selectedIndexPath_.reset();
    alertViewController_->showIfNeeded(this, *services_.userDefaults, SettingsKeys::chaptersHelp);
}

void ChaptersViewController::viewWillDisappear()
{
    chaptersDeleterController_->removeFromNotifications();
}

void ChaptersViewController::setRestoreLocation(int row)
{
    if (services_.booksRestoreLocation && services_.booksRestoreLocation->size() > 1)
        (*services_.booksRestoreLocation)[1] = row;
}

void ChaptersViewController::fetchChapters()
{
    chapters_ = book_->chapters();
    // Chapters without a number come first, as nil sorts lowest.
    std::stable_sort(chapters_.begin(), chapters_.end(),
                     [](const auto &a, const auto &b) { return a->number() < b->number(); });
    lastChapterRead_ = findLastChapterRead();
}

std::shared_ptr<Chapter> ChaptersViewController::findLastChapterRead() const
{
    const auto lastRead = book_->lastChapterNumberRead();
    if (!lastRead)
        return nullptr;
    for (const auto &chapter : chapters_) {
        if (const auto number = chapter->number(); number && *number * Decimal(10) == *lastRead)
            return chapter;
    }
    return nullptr;
}

void ChaptersViewController::jumpToLastReadChapter()
{
    if (!lastChapterRead_)
        return;
    const auto it = std::find(chapters_.begin(), chapters_.end(), lastChapterRead_);
    tableView_->scrollToRow({0, int(it - chapters_.begin())});
}

void ChaptersViewController::refresh()
{
    fetchChapters();
    tableView_->reloadData();
}

int ChaptersViewController::numberOfRows(int section)
{
    return section == 0 ? int(chapters_.size()) : 0;
}

TableCell ChaptersViewController::cellForRow(const IndexPath &path)
{
    if (path.row < 0 || path.row >= int(chapters_.size()))
        return {};
    const Chapter &chapter = *chapters_[path.row];
    const QFont base = tableView_->font();
    if (isEditing()) {
        TableCell cell;
        cell.text = chapter.title();
        cell.font = ChapterCell::titleFont(base);
        cell.textLines = 2;
        cell.buttonTitle = ZipButtonTitle;
        cell.buttonWhileEditing = true;
        return cell;
    }
    const bool isLastRead = lastChapterRead_.get() == &chapter;
    if (ChapterCell::isPlain(chapter, isLastRead))
        return ChapterCell::plainCell(chapter.title(), base);
    return ChapterCell(chapter.title(), ChapterCell::statusFor(chapter, isLastRead)).tableCell(base);
}

void ChaptersViewController::didSelectRow(const IndexPath &path)
{
    if (isEditing() || path.row < 0 || path.row >= int(chapters_.size()))
        return;
    selectedIndexPath_ = path;
    setRestoreLocation(path.row);
    openChapterAtRow(path.row);
}

void ChaptersViewController::openChapterAtRow(int row)
{
    NavigationController *nav = navigationController();
    if (!nav)
        return;
    const auto &chapter = chapters_[row];
    auto viewer = std::make_unique<LibraryPagesViewController>(chapter, services_);
    viewer->setTitle(chapter->title());
    viewer->setBookTitle(book_->title());
    viewer->setShowSaveButton(false);
    viewer->setShowDeleteActionSheet(false);
    viewer->setDelegate(this);
    nav->pushViewController(std::move(viewer));
}

void ChaptersViewController::restoreLocationWithSelection(int row)
{
    loadViewIfNeeded();
    fetchChapters();
    tableView_->reloadData();
    if (row < 0 || row >= int(chapters_.size())) {
        setRestoreLocation(-1);
        return;
    }
    selectedIndexPath_ = IndexPath{0, row};
    tableView_->selectRow(*selectedIndexPath_);
    setRestoreLocation(row);
    openChapterAtRow(row);
}

void ChaptersViewController::commitDeleteRow(const IndexPath &path)
{
    if (path.row < 0 || path.row >= int(chapters_.size()))
        return;
    const std::shared_ptr<Chapter> chapter = chapters_[path.row];
    const QString directory = services_.appData->chapterDirectory(*chapter);
    // The store refused (its alert is up): the chapter stays, and so does its row.
    if (!LibraryQueues::removePathsQueueWrapper()->removeForeground({chapter}, {directory}))
        chapters_.erase(chapters_.begin() + path.row);
    selectedIndexPath_.reset();
    tableView_->reloadData();
}

void ChaptersViewController::deleteChaptersAction()
{
    chaptersDeleterController_->deleteChapters();
}

void ChaptersViewController::chaptersDeleterDidFinish(ChaptersDeleterController &)
{
    refresh();
}

void ChaptersViewController::chaptersDeleterDidFail(ChaptersDeleterController &, const Error &)
{
    refresh();
}

void ChaptersViewController::rowButtonTapped(const IndexPath &path)
{
    zipButtonTapped(path.row);
}

void ChaptersViewController::zipButtonTapped(int row)
{
    if (row < 0 || row >= int(chapters_.size()))
        return;
    if (IsDownloading()) {
        AlertWithMessage(localized("Not while downloading"));
        return;
    }
    zipChapter(chapters_[row]);
}

void ChaptersViewController::zipChapter(const std::shared_ptr<Chapter> &chapter)
{
    const QString outputRoot = MyDirectories::sharedMyDirectories().documentDirectory();
    QDir().mkpath(outputRoot);
    // A queue per zip, as each is its own piece of work; the overlay keeps a
    // second one from starting meanwhile.
    if (exportQueue_)
        drain(*exportQueue_, false);
    exportQueue_ = std::make_unique<OperationQueue>(1);
    const QString chapterTitle = chapter->title();
    QPointer<ChaptersViewController> self(this);
    exportQueue_->addOperation(std::make_shared<IEDBExporterOperation>(
        *chapter, outputRoot,
        [self](IEDBExporterOperation &operation) {
            if (self)
                self->exporterDidFail(operation);
        },
        [self, chapterTitle](IEDBExporterOperation &operation) {
            if (self)
                self->exporterDidFinish(operation, chapterTitle);
        }));
    WaitOverlay::instance().show();
}

void ChaptersViewController::exporterDidFinish(IEDBExporterOperation &, const QString &chapterTitle)
{
    AlertWithTitleAndMessage(localized("Success"),
                             withArguments(localized("Zipped %@\n%@\nCheck the Import/Export Tab"),
                                           {book_->title(), chapterTitle}));
    WaitOverlay::instance().hide();
}

void ChaptersViewController::exporterDidFail(IEDBExporterOperation &operation)
{
    AlertWithTitleAndMessage(localized("Error"),
                             operation.error() ? operation.error()->localizedDescription() : QString());
    // Half a zip would be offered for import as if it were whole.
    if (!operation.zipFileName().isEmpty() && QFile::exists(operation.zipFileName()))
        QFile::remove(operation.zipFileName());
    WaitOverlay::instance().hide();
}

bool ChaptersViewController::pagesViewControllerHasNextChapter(PagesViewController *viewer)
{
    nextChapterIndexPath_.reset();
    const auto current = viewer->chapter() ? viewer->chapter()->number() : std::nullopt;
    const auto it = std::find_if(chapters_.begin(), chapters_.end(), [&](const auto &chapter) {
        return current && chapter->number() == current;
    });
    if (it != chapters_.end() && it + 1 != chapters_.end() && !(*(it + 1))->pages().empty()) {
        nextChapterIndexPath_ = IndexPath{0, int(it + 1 - chapters_.begin())};
        viewer->setNextChapter(*(it + 1));
        return true;
    }
    viewer->setNextChapter(nullptr);
    return false;
}

void ChaptersViewController::pagesViewControllerWillGotoNextChapter(PagesViewController *viewer)
{
    if (viewer->chapter()) {
        viewer->chapter()->setLastPageRead(0);
        services_.appData->save();
    }
    if (nextChapterIndexPath_) {
        selectedIndexPath_ = nextChapterIndexPath_;
        setRestoreLocation(nextChapterIndexPath_->row);
    }
}

void ChaptersViewController::pagesViewControllerWillDisappear(PagesViewController *viewer)
{
    if (const auto number = viewer->chapter() ? viewer->chapter()->number() : std::nullopt)
        book_->setLastChapterNumberRead(*number * Decimal(10));
}
