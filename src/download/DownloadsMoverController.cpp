#include "download/DownloadsMoverController.h"

#include "download/DownloadMover.h"
#include "download/DownloadsMoverQueueWrapper.h"
#include "download/LibraryQueues.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Alerts.h"
#include "foundation/Localized.h"
#include "foundation/WaitOverlay.h"
#include "store/AppData.h"
#include "store/DownloadsRequest.h"
#include "store/IsDownloading.h"

DownloadsMoverController::DownloadsMoverController(DownloadsMoverControllerDelegate *delegate)
    : BulkController(kConfirmationTag, DownloadsMoverQueueWrapper::DidFinishNotification), delegate_(delegate)
{}

void DownloadsMoverController::moveDownloads()
{
    downloadsToMove_.clear();
    confirm(localized("Do you want to save the completed downloads to the library?") + u'\n' +
            withArguments(localized("%d downloads are saved at a time."), {QString::number(kMaxDownloads)}) +
            u'\n' + localized("(Don't exit the app while processing)"));
}

bool DownloadsMoverController::prepareToMoveDownloads()
{
    downloadsToMove_.clear();
    const auto fetched = AllDownloadsOrFatalAlert();
    if (!fetched)
        return false;
    const auto &downloads = *fetched;
    for (const auto &download : downloads) {
        if (download->isDownloading() || download->isQueued()) {
            downloadsToMove_.clear();
            AlertWithMessage(localized("Cannot save to the library in bulk while downloading"));
            return false;
        }
        if (download->isComplete()) {
            downloadsToMove_.push_back(download);
            if (int(downloadsToMove_.size()) == kMaxDownloads)
                break;
        }
    }
    return true;
}

bool DownloadsMoverController::tooManyDownloadsToMove(const std::vector<std::shared_ptr<Download>> &downloads)
{
    if (int(downloads.size()) <= kMaxDownloads)
        return false;
    AlertWithTitleAndMessage(
        localized("Warning"),
        withArguments(localized("Too many downloads (%d) to save in bulk."),
                      {QString::number(downloads.size())}) +
            u'\n' + withArguments(localized("Maximum allowed is %d"), {QString::number(kMaxDownloads)}));
    return true;
}

void DownloadsMoverController::moveDownloadsForeground()
{
    AppData &appData = AppData::sharedAppData();
    QStringList uuids;
    failedCount_ = 0;
    for (const auto &download : downloadsToMove_) {
        // A refused download goes on to the next: it stays in the list.
        if (DownloadMover::save(download, *appData.managedObjectContext()))
            uuids << download->uuid();
        else
            ++failedCount_;
    }
    if (const auto error = appData.save())
        failedCount_ += int(uuids.size());
    else
        DownloadMover::didSave(uuids);
    reportFailures();
    if (delegate_)
        delegate_->downloadsMoverDidFinish(*this);
}

void DownloadsMoverController::moveDownloadsBackground()
{
    LibraryQueues::downloadsMoverQueueWrapper()->launchMoveDownloads(downloadsToMove_);
    WaitOverlay::instance().show();
}

void DownloadsMoverController::moveDownloadsDidFinish()
{
    failedCount_ = LibraryQueues::downloadsMoverQueueWrapper()->failedCount();
    reportFailures();
    if (delegate_)
        delegate_->downloadsMoverDidFinish(*this);
    WaitOverlay::instance().hide();
}

void DownloadsMoverController::reportFailures()
{
    if (failedCount_ == 0)
        return;
    AlertWithTitleAndMessage(
        localized("Warning"),
        withArguments(localized("%d of %d downloads could not be saved to the library."),
                      {QString::number(failedCount_), QString::number(downloadsToMove_.size())}));
}
