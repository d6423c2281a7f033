#include "download/ChaptersDeleterController.h"

#include <algorithm>

#include "download/RemovePathsQueueWrapper.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Alerts.h"
#include "foundation/Localized.h"
#include "foundation/WaitOverlay.h"
#include "store/AppData.h"
#include "store/IsDownloading.h"

ChaptersDeleterController::ChaptersDeleterController(std::shared_ptr<Book> book,
                                                     ChaptersDeleterControllerDelegate *delegate)
    : BulkController(kConfirmationTag, RemovePathsQueueWrapper::DidFinishNotification),
      book_(std::move(book)), delegate_(delegate)
{}

void ChaptersDeleterController::deleteChapters()
{
    chaptersToDelete_.clear();
    confirm(localized("Do you want to delete the read chapters?") + u'\n' +
            localized("The last read chapter is not deleted."));
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
    tellDelegate(removeAtOnce(chaptersToDelete_));
}

void ChaptersDeleterController::deleteChaptersBackground()
{
    if (const auto error = removeInBackground(chaptersToDelete_))
        tellDelegate(error);
    else
        showWaitOverlay();
}

void ChaptersDeleterController::removePathsDidFinish()
{
    tellDelegate(std::nullopt);
    hideWaitOverlay();
}

void ChaptersDeleterController::tellDelegate(const std::optional<Error> &error)
{
    if (!delegate_)
        return;
    if (error)
        delegate_->chaptersDeleterDidFail(*this, *error);
    else
        delegate_->chaptersDeleterDidFinish(*this);
}

void ChaptersDeleterController::showWaitOverlay()
{
    WaitOverlay::instance().show();
}

void ChaptersDeleterController::hideWaitOverlay()
{
    WaitOverlay::instance().hide();
}
