#include "ui/downloads/DownloadsViewController.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "download/DeducerErrorString.h"
#include "download/DeducerFetcher.h"
#include "download/DownloadManager.h"
#include "download/DownloadMover.h"
#include "download/DownloadServices.h"
#include "download/FetcherQueueWrapper.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Alerts.h"
#include "foundation/Localized.h"
#include "foundation/NotificationCenter.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "store/AppData.h"
#include "store/Download.h"
#include "store/DownloadsRequest.h"
#include "ui/downloads/DownloadAutoEditViewController.h"
#include "ui/downloads/DownloadsProgressViews.h"
#include "ui/kit/MyHelpAlertViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/NavigationItem.h"
#include "ui/kit/TabBarItem.h"
#include "ui/kit/TableView.h"
#include "ui/pages/DownloadPagesViewController.h"
#include "ui/pages/LibraryPagesViewController.h"

namespace {

constexpr int RowHeight = 64;
constexpr int ResumeAlertTag = 44;
// Near the end of a fetch that saves itself into the library, the download
// may be gone before the reader gets to its last pages.
constexpr int MinimumPagesLeftToOpen = 7;
// About one frame of a 30 Hz display.
constexpr int ProgressFrameMs = 33;
constexpr int HeaderHeight = 50;
constexpr int HeaderButtonWidth = 140;
constexpr int HeaderButtonHeight = 30;
constexpr int HeaderMargin = 10;

bool hasPages(const Download &download)
{
    return !download.pages().empty();
}

} // namespace

DownloadsViewController::DownloadsViewController(ScreenServices services, DownloadManager &manager,
                                                 QWidget *parent)
    : ViewController(parent), services_(std::move(services)), manager_(manager)
{
    setTitle(localized("Downloads"));
    tabBarItem()->setImageName(QStringLiteral("tab-downloads"));
    progressRepaint_.setSingleShot(true);
    progressRepaint_.setInterval(ProgressFrameMs);
    connect(&progressRepaint_, &QTimer::timeout, this, &DownloadsViewController::repaintActiveRow);
}

DownloadsViewController::~DownloadsViewController()
{
    removeFromNotifications();
    if (progressViews_)
        progressViews_->setChangeHandler({});
    if (tableView_) {
        tableView_->setDataSource(nullptr);
        tableView_->setDelegate(nullptr);
    }
}

MyUserDefaults &DownloadsViewController::userDefaults() const
{
    return *services_.userDefaults;
}

void DownloadsViewController::createProgressViews()
{
    if (progressViews_)
        return;
    progressViews_ = std::make_shared<DownloadsProgressViews>();
    QPointer<DownloadsViewController> self(this);
    progressViews_->setChangeHandler([self] {
        if (self)
            self->progressChanged();
    });
}

std::shared_ptr<DownloadsProgressSink> DownloadsViewController::progressSink() const
{
    return progressViews_;
}

void DownloadsViewController::viewDidLoad()
{
    createProgressViews();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tableView_ = new TableView(TableView::Style::Plain, this);
    tableView_->setRowHeight(RowHeight);
    tableView_->setAllowsSelectionDuringEditing(true);
    layout->addWidget(tableView_);
    navigationItem()->setRightBarButtonItem(editButtonItem());

    fetchDownloads();

    const QString message =
        QStringLiteral("%1\n%2\n%3")
            .arg(localized("-Read while downloading."),
                 localized("-Organize and delete chapters in edit mode."), localized("-Queue downloads."));
    alertViewController_ = new MyHelpAlertViewController(
        localized("Did you know?"), message, this, [this](MyAlertViewController *) {
            alertViewController_->dismiss(userDefaults(), SettingsKeys::downloadsHelp);
        });
    alertViewController_->setParent(this);
    alertViewController_->hide();

    downloadsMoverController_ = std::make_unique<DownloadsMoverController>(this);
    downloadsDeleterController_ = std::make_unique<DownloadsDeleterController>(this);

    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
}

void DownloadsViewController::viewWillAppear()
{
    addToNotifications();
    downloadsMoverController_->addToNotifications();
    downloadsDeleterController_->addToNotifications();
    fetchDownloads();
    reload();
    if (selectedIndexPath_ && selectedIndexPath_->row < int(downloads_.size()))
        tableView_->selectRow(*selectedIndexPath_);
}

void DownloadsViewController::viewDidAppear()
{
    userDefaults().setInteger(-1, SettingsKeys::downloadsRestoreLocation);
    tableView_->deselectRow();
    selectedIndexPath_.reset();
    showDownloadsHelp();
    if (doResumeDownload_)
        showResumeDownloadAlert();
}

void DownloadsViewController::viewWillDisappear()
{
    removeFromNotifications();
    downloadsMoverController_->removeFromNotifications();
    downloadsDeleterController_->removeFromNotifications();
}

void DownloadsViewController::addToNotifications()
{
    NotificationCenter &center = NotificationCenter::defaultCenter();
    center.addObserver(this, FetcherQueueWrapper::queueDidFinishNotification(), [this] { queueDidFinish(); });
    center.addObserver(this, FetcherQueueWrapper::requestDidFinishOrFailNotification(),
                       [this] { requestDidFinishOrFail(); });
    center.addObserver(this, DeducerFetcher::deducerDidStartNotification(), [this] { reload(); });
    center.addObserver(this, DeducerFetcher::deducerDidFailNotification(), [this] { reload(); });
}

void DownloadsViewController::removeFromNotifications()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

bool DownloadsViewController::fetchDownloads()
{
    std::optional<Error> error;
    auto fetched = services_.appData->managedObjectContext()->fetch<Download>(DownloadsRequest(), &error);
    if (error) {
        AlertWithTitleAndError(localized("Fatal! Please exit the application"), *error);
        return false;
    }
    downloads_ = std::move(fetched);
    return true;
}

void DownloadsViewController::reload()
{
    if (tableView_)
        tableView_->reloadData();
}

void DownloadsViewController::requestDidFinishOrFail()
{
    const FetcherQueueWrapper &fetcher = manager_.fetcherQueueWrapper();
    if (progressViews_)
        progressViews_->setProgressLabel(
            QStringLiteral("%1/%2").arg(fetcher.requestsDownloaded()).arg(fetcher.requestsToDownload()));
}

void DownloadsViewController::queueDidFinish()
{
    // A download saved into the library as its run ended is no longer one.
    if (userDefaults().boolForKey(SettingsKeys::autoSaveToLibrary))
        fetchDownloads();
    reload();
}

void DownloadsViewController::progressChanged()
{
    if (tableView_ && isVisible() && !progressRepaint_.isActive())
        progressRepaint_.start();
}

void DownloadsViewController::repaintActiveRow()
{
    // Only the active row shows the bar; nothing else needs drawing again.
    if (!tableView_ || !isVisible())
        return;
    if (const auto row = activeRow())
        tableView_->reloadRow({0, *row});
}

std::optional<int> DownloadsViewController::activeRow() const
{
    for (int row = 0; row < int(downloads_.size()); ++row) {
        if (downloads_[row]->isDownloading())
            return row;
    }
    return std::nullopt;
}

int DownloadsViewController::rowOf(const std::shared_ptr<Download> &download) const
{
    const auto it = std::find(downloads_.begin(), downloads_.end(), download);
    return it == downloads_.end() ? -1 : int(it - downloads_.begin());
}

QString DownloadsViewController::stringForDownloadCell(const Download &download)
{
    const QString bookTitle = download.bookTitle();
    QString title = download.title();
    if (!bookTitle.isEmpty())
        title.remove(bookTitle);
    return QStringLiteral("%1 / %2").arg(bookTitle, title);
}

int DownloadsViewController::numberOfRows(int section)
{
    return section == 0 ? int(downloads_.size()) : 0;
}

TableCell DownloadsViewController::cellForRow(const IndexPath &path)
{
    TableCell cell;
    if (path.row < 0 || path.row >= int(downloads_.size()))
        return cell;
    const Download &download = *downloads_[path.row];
    cell.style = TableCell::Style::Subtitle;
    // Whether a row opens is asked when it is chosen (willSelectRow): it
    // reads the pages, which painting the active row at every page must not.
    const QString titleText = stringForDownloadCell(download);
    const QString deducerError = GetDeducerErrorString(download);
    if (download.isDownloading()) {
        cell.text = titleText;
        const QString type = progressViews_ ? progressViews_->progressTypeLabel() : QString();
        const QString count = progressViews_ ? progressViews_->progressLabel() : QString();
        if (type.isEmpty() || count.isEmpty())
            cell.detailText = type.isEmpty() ? count : type;
        else
            cell.detailText = type + QStringLiteral("  ") + count;
        cell.progress = progressViews_ ? double(progressViews_->progress()) : 0.0;
    } else if (download.isQueued()) {
        cell.text = localized("Waiting...");
        cell.detailText = titleText;
        cell.textColor = QColor(0x60, 0x60, 0x60);
    } else if (!deducerError.isEmpty()) {
        cell.text = QStringLiteral("Failed. %1").arg(deducerError);
        cell.detailText = titleText;
        cell.textColor = QColor(0xb0, 0x20, 0x20);
        cell.buttonTitle = localized("Retry");
        cell.buttonImage = QStringLiteral("reload");
    } else if (download.isComplete()) {
        cell.text = download.rootTitle();
        cell.detailText = titleText;
        if (download.lastPageRead() < 0)
            cell.statusText = localized("Unread");
    } else {
        cell.text = download.rootTitle();
        cell.detailText = titleText;
        cell.statusText = localized("Incomplete");
        cell.buttonTitle = localized("Retry");
        cell.buttonImage = QStringLiteral("reload");
    }
    return cell;
}

int DownloadsViewController::heightForRow(const IndexPath &)
{
    return RowHeight;
}

bool DownloadsViewController::canOpenRow(int row) const
{
    if (row < 0 || row >= int(downloads_.size()))
        return false;
    const Download &download = *downloads_[row];
    const auto pages = download.pages();
    if (pages.empty())
        return false;
    if (isEditing())
        return !download.isDownloading();
    if (download.isDownloading() && services_.userDefaults->boolForKey(SettingsKeys::autoSaveToLibrary)) {
        const FetcherQueueWrapper &fetcher = manager_.fetcherQueueWrapper();
        int fetched = 0;
        if (fetcher.download() == downloads_[row]) {
            fetched = fetcher.requestsDownloaded();
        } else {
            for (const auto &page : pages)
                fetched += page->isDownloaded() ? 1 : 0;
        }
        return int(pages.size()) - fetched > MinimumPagesLeftToOpen;
    }
    return true;
}

bool DownloadsViewController::willSelectRow(const IndexPath &path)
{
    return canOpenRow(path.row);
}

void DownloadsViewController::didSelectRow(const IndexPath &path)
{
    if (!canOpenRow(path.row))
        return;
    selectedIndexPath_ = path;
    const auto download = downloads_[path.row];
    if (isEditing()) {
        openSavePanel(download);
        return;
    }
    userDefaults().setInteger(path.row, SettingsKeys::downloadsRestoreLocation);
    openDownload(download, false);
}

void DownloadsViewController::openDownload(const std::shared_ptr<Download> &download, bool restoring)
{
    NavigationController *nav = navigationController();
    if (!nav)
        return;
    std::unique_ptr<PagesViewController> viewer;
    if (restoring)
        viewer = std::make_unique<LibraryPagesViewController>(download, services_);
    else
        viewer = std::make_unique<DownloadPagesViewController>(download, services_);
    viewer->setTitle(download->title());
    viewer->setBookTitle(download->bookTitle());
    viewer->setDelegate(this);
    // Saving and deleting wait until the download has stopped changing.
    const bool finished = restoring || !download->isDownloading();
    viewer->setShowSaveButton(finished);
    viewer->setShowDeleteActionSheet(finished);
    QPointer<DownloadsViewController> self(this);
    viewer->setSaveHandler([self](PagesViewController *shown) {
        if (!self)
            return;
        if (auto chapter = std::dynamic_pointer_cast<Download>(shown->chapter()))
            self->openSavePanel(chapter);
    });
    navigationItem()->setBackTitle(localized("Downloads"));
    nav->pushViewController(std::move(viewer));
}

void DownloadsViewController::openSavePanel(const std::shared_ptr<Download> &download)
{
    NavigationController *nav = navigationController();
    if (!nav || !download)
        return;
    auto panel = std::make_unique<DownloadAutoEditViewController>(download, services_);
    panel->setDelegate(this);
    nav->pushViewController(std::move(panel));
}

void DownloadsViewController::retryAction(int row)
{
    if (row >= 0 && row < int(downloads_.size()))
        retryWithDownload(downloads_[row], true);
}

bool DownloadsViewController::retryWithDownload(const std::shared_ptr<Download> &download, bool showAlert)
{
    const bool anyActive = std::any_of(downloads_.begin(), downloads_.end(),
                                       [](const auto &candidate) { return candidate->isDownloading(); });
    if (anyActive) {
        if (showAlert)
            AlertWithTitle(localized("Sorry, only one download at a time"));
        return false;
    }
    if (!manager_.services().checkReachability()) {
        if (showAlert)
            AlertWithTitle(localized("Cannot connect to the internet"));
        return false;
    }
    if (!manager_.deducerFetcher().retryWithDownload(download, progressSink())) {
        if (showAlert)
            AlertWithTitle(localized("Trouble retrying download"));
        return false;
    }
    reload();
    return true;
}

void DownloadsViewController::commitDeleteRow(const IndexPath &path)
{
    if (path.row < 0 || path.row >= int(downloads_.size()))
        return;
    const auto download = downloads_[path.row];
    downloads_.erase(downloads_.begin() + path.row);
    if (selectedIndexPath_ && selectedIndexPath_->row == path.row)
        selectedIndexPath_.reset();
    // The engine stops whatever the download is part of, deletes it with
    // its files and starts the next waiting one.
    manager_.deducerFetcher().removeDownload(download);
    reload();
}

void DownloadsViewController::setEditing(bool editing)
{
    if (editing == isEditing())
        return;
    ViewController::setEditing(editing);
    if (!tableView_)
        return;
    tableView_->setEditing(editing);
    if (editing) {
        editingHeader_ = new QWidget;
        editingHeader_->setFixedHeight(HeaderHeight);
        auto *row = new QHBoxLayout(editingHeader_);
        row->setContentsMargins(HeaderMargin, 0, HeaderMargin, 0);
        auto makeButton = [this](const char *text) {
            auto *button = new QPushButton(localized(text), editingHeader_);
            button->setFixedSize(HeaderButtonWidth, HeaderButtonHeight);
            button->setStyleSheet(
                QStringLiteral("QPushButton { background: #d8d8d8; border: 1px solid #a8a8a8;"
                               " border-radius: 6px; font-weight: bold; color: black; }"
                               "QPushButton:pressed { background: #b8b8b8; }"));
            return button;
        };
        deleteButton_ = makeButton("Delete");
        saveToLibraryButton_ = makeButton("Save to Library");
        row->addWidget(deleteButton_);
        row->addStretch(1);
        row->addWidget(saveToLibraryButton_);
        connect(deleteButton_, &QPushButton::clicked, this, &DownloadsViewController::deleteDownloadsAction);
        connect(saveToLibraryButton_, &QPushButton::clicked, this,
                &DownloadsViewController::moveDownloadsAction);
        tableView_->setTableHeaderView(editingHeader_);
    } else {
        tableView_->setTableHeaderView(nullptr);
        editingHeader_ = nullptr;
        deleteButton_ = nullptr;
        saveToLibraryButton_ = nullptr;
    }
    // Which rows can be chosen differs between the two modes.
    reload();
}

void DownloadsViewController::moveDownloadsAction()
{
    downloadsMoverController_->moveDownloads();
}

void DownloadsViewController::deleteDownloadsAction()
{
    downloadsDeleterController_->deleteDownloads();
}

void DownloadsViewController::downloadsMoverDidFinish(DownloadsMoverController &)
{
    fetchDownloads();
    reload();
}

void DownloadsViewController::downloadsDeleterDidFinish(DownloadsDeleterController &)
{
    fetchDownloads();
    reload();
}

void DownloadsViewController::downloadAutoEditViewControllerDidSave(DownloadAutoEditViewController *)
{
    // The panel has saved the store with the move.
    selectedIndexPath_.reset();
    if (tableView_)
        tableView_->deselectRow();
    fetchDownloads();
    reload();
}

void DownloadsViewController::showDownloadsHelp()
{
    if (!alertViewController_ || !isOnScreen())
        return;
    const bool active = std::any_of(downloads_.begin(), downloads_.end(),
                                    [](const auto &download) { return download->isDownloading(); });
    if (active)
        alertViewController_->showIfNeeded(this, userDefaults(), SettingsKeys::downloadsHelp);
}

void DownloadsViewController::showResumeDownloadAlert()
{
    doResumeDownload_ = false;
    for (const auto &download : downloads_) {
        if (download->isDownloading())
            return;
        if (!downloadToResumeFromAlert_ || (download != downloadToResumeFromAlert_ &&
                                            download->objectID() != downloadToResumeFromAlert_->objectID()))
            continue;
        if (download->isComplete() || download->isQueued())
            return;
        AlertRequest request;
        request.title = localized("Resume Download?");
        request.cancelButton = localized("No");
        request.otherButtons = {localized("Yes")};
        request.tag = ResumeAlertTag;
        QPointer<DownloadsViewController> self(this);
        std::weak_ptr<Download> weak = download;
        request.onButton = [self, weak](int index) {
            const auto chosen = weak.lock();
            if (!self || index != 1 || !chosen)
                return;
            // The record may have been removed while the question was up.
            if (self->rowOf(chosen) < 0)
                return;
            self->retryWithDownload(chosen, true);
            self->downloadToResumeFromAlert_.reset();
        };
        Alerts::instance().show(std::move(request));
        return;
    }
}

bool DownloadsViewController::fetchIsRunning() const
{
    return manager_.fetcherQueueWrapper().isDownloading();
}

void DownloadsViewController::saveUnlessFetching()
{
    if (!fetchIsRunning())
        services_.appData->save();
}

bool DownloadsViewController::pagesViewControllerHasNextChapter(PagesViewController *viewer)
{
    auto clear = [&] {
        viewer->setNextChapter(nullptr);
        nextChapterIndexPath_.reset();
        return false;
    };
    if (userDefaults().boolForKey(SettingsKeys::autoSaveToLibrary))
        return clear();
    const auto current = std::dynamic_pointer_cast<Download>(viewer->chapter());
    if (!current || !current->number())
        return clear();
    const auto sameBook = services_.appData->managedObjectContext()->fetch<Download>(
        DownloadsRequest(current->bookTitle(), current->rootTitle()));
    const auto it = std::find_if(sameBook.begin(), sameBook.end(), [&](const auto &download) {
        return download->number() && *download->number() == *current->number();
    });
    if (it == sameBook.end() || it + 1 == sameBook.end() || !hasPages(**(it + 1)))
        return clear();
    const auto next = *(it + 1);
    viewer->setNextChapter(next);
    const int row = rowOf(next);
    if (row >= 0)
        nextChapterIndexPath_ = IndexPath{0, row};
    else
        nextChapterIndexPath_.reset();
    return true;
}

void DownloadsViewController::pagesViewControllerWillGotoNextChapter(PagesViewController *viewer)
{
    if (viewer->chapter()) {
        viewer->chapter()->setLastPageRead(0);
        saveUnlessFetching();
    }
    if (nextChapterIndexPath_) {
        selectedIndexPath_ = nextChapterIndexPath_;
        if (tableView_)
            tableView_->selectRow(*nextChapterIndexPath_);
        userDefaults().setInteger(nextChapterIndexPath_->row, SettingsKeys::downloadsRestoreLocation);
    }
}

void DownloadsViewController::pagesViewControllerSaveChapter(PagesViewController *viewer)
{
    const auto download = std::dynamic_pointer_cast<Download>(viewer->chapter());
    if (!download)
        return;
    download->setLastPageRead(0);
    const QString uuid = download->uuid();
    AppData &appData = *services_.appData;
    if (DownloadMover::save(download, *appData.managedObjectContext(), true, true)) {
        // Saved even while a fetch runs: until the store holds the chapter
        // the move stays in the journal, to be settled again at next start.
        if (const auto error = appData.save(); !error)
            DownloadMover::didSave({uuid});
    }
    viewer->setChapter(nullptr);
    viewer->setPagesData(nullptr);
    selectedIndexPath_.reset();
    if (tableView_)
        tableView_->deselectRow();
}

void DownloadsViewController::pagesViewControllerDeleteChapter(PagesViewController *viewer)
{
    const auto download = std::dynamic_pointer_cast<Download>(viewer->chapter());
    if (!download)
        return;
    manager_.deducerFetcher().removeDownload(download);
    viewer->setChapter(nullptr);
    viewer->setPagesData(nullptr);
    selectedIndexPath_.reset();
    if (tableView_)
        tableView_->deselectRow();
}

void DownloadsViewController::restoreLocationWithSelection(int row)
{
    loadViewIfNeeded();
    fetchDownloads();
    if (row < 0 || row >= int(downloads_.size())) {
        userDefaults().setInteger(-1, SettingsKeys::downloadsRestoreLocation);
        return;
    }
    selectedIndexPath_ = IndexPath{0, row};
    reload();
    tableView_->selectRow(*selectedIndexPath_);
    openDownload(downloads_[row], true);
}
