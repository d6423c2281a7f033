#include "download/ChaptersDeleterController.h"

#include <algorithm>

#include "download/LibraryQueues.h"
#include "download/RemovePathsQueueWrapper.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Alerts.h"
#include "foundation/Localized.h"
#include "foundation/NotificationCenter.h"
#include "foundation/WaitOverlay.h"
#include "store/AppData.h"
#include "store/IsDownloading.h"

namespace {
constexpr int kForegroundLimit = 6;
}

ChaptersDeleterController::ChaptersDeleterController(std::shared_ptr<Book> book,
                                                     ChaptersDeleterControllerDelegate *delegate)
    : book_(std::move(book)), delegate_(delegate)
{}

ChaptersDeleterController::~ChaptersDeleterController()
{
    *alive_ = false;
    removeFromNotifications();
}

void ChaptersDeleterController::deleteChapters()
{
    chaptersToDelete_.clear();
    const QString message = localized("Do you want to delete the read chapters?") + u'\n' +
                            localized("The last read chapter is not deleted.");
    ConfirmWithMessage(message, kConfirmationTag, alive_,
                       [this](int index) { alertViewClickedButtonAtIndex(kConfirmationTag, index); });
}

void ChaptersDeleterController::addToNotifications()
{
    NotificationCenter::defaultCenter().addObserver(this, RemovePathsQueueWrapper::DidFinishNotification,
                                                    [this] { removePathsDidFinish(); });
}

void ChaptersDeleterController::removeFromNotifications()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void ChaptersDeleterController::alertViewClickedButtonAtIndex(int tag, int buttonIndex)
{
    if (tag != kConfirmationTag || buttonIndex != 1)
        return;
    if (!prepareToDeleteChapters())
        return;
    if (int(chaptersToDelete_.size()) < kForegroundLimit)
        deleteChaptersForeground();
    else
        deleteChaptersBackground();
}

bool ChaptersDeleterController::isDownloading() const
{
    return IsDownloading();
}

bool ChaptersDeleterController::prepareToDeleteChapters()
{
    chaptersToDelete_.clear();
    if (isDownloading()) {
        AlertWithMessage(localized("Cannot delete in bulk while downloading"));
        return false;
    }
    auto chapters = book_->chapters();
    std::stable_sort(chapters.begin(), chapters.end(),
                     [](const auto &a, const auto &b) { return a->number() < b->number(); });
    const auto lastRead = book_->lastChapterNumberRead();
    for (const auto &chapter : chapters) {
        const auto number = chapter->number();
        if (number && lastRead && *number * Decimal(10) == *lastRead)
            break;
        if (chapter->lastPageRead() >= 0)
            chaptersToDelete_.push_back(chapter);
    }
    if (int(chaptersToDelete_.size()) > kMaxDeletions) {
        chaptersToDelete_.clear();
        AlertWithMessage(withArguments(
            localized("Over %d chapters to delete.  Please delete some individual chapters first.  Sorry."),
            {QString::number(kMaxDeletions)}));
        return false;
    }
    return true;
}

void ChaptersDeleterController::deleteChaptersForeground()
{
    AppData &appData = AppData::sharedAppData();
    std::vector<std::shared_ptr<ManagedObject>> records;
    QStringList paths;
    for (const auto &chapter : chaptersToDelete_) {
        paths << appData.chapterDirectory(*chapter);
        records.push_back(chapter);
    }
    const auto error = LibraryQueues::removePathsQueueWrapper()->removeForeground(records, paths);
    if (!delegate_)
        return;
    if (error)
        delegate_->chaptersDeleterDidFail(*this, *error);
    else
        delegate_->chaptersDeleterDidFinish(*this);
}

void ChaptersDeleterController::deleteChaptersBackground()
{
    AppData &appData = AppData::sharedAppData();
    QStringList paths;
    for (const auto &chapter : chaptersToDelete_)
        paths << appData.chapterDirectory(*chapter);
    RemovePathsQueueWrapper::writeRemovePaths(paths);
    for (const auto &chapter : chaptersToDelete_)
        appData.managedObjectContext()->deleteObject(chapter);
    if (const auto error = appData.save()) {
        if (delegate_)
            delegate_->chaptersDeleterDidFail(*this, *error);
        return;
    }
    LibraryQueues::removePathsQueueWrapper()->launchRemovePaths(paths);
    showWaitOverlay();
}

void ChaptersDeleterController::removePathsDidFinish()
{
    if (delegate_)
        delegate_->chaptersDeleterDidFinish(*this);
    hideWaitOverlay();
}

void ChaptersDeleterController::showWaitOverlay()
{
    WaitOverlay::instance().show();
}

void ChaptersDeleterController::hideWaitOverlay()
{
    WaitOverlay::instance().hide();
}
