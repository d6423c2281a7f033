#include "download/DownloadsDeleterController.h"

#include <QHash>

#include "download/RemovePathsQueueWrapper.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Alerts.h"
#include "foundation/Localized.h"
#include "foundation/WaitOverlay.h"
#include "store/AppData.h"
#include "store/DownloadsRequest.h"
#include "store/IsDownloading.h"

DownloadsDeleterController::DownloadsDeleterController(DownloadsDeleterControllerDelegate *delegate)
    : BulkController(kConfirmationTag, RemovePathsQueueWrapper::DidFinishNotification), delegate_(delegate)
{}

void DownloadsDeleterController::deleteDownloads()
{
    downloadsToDelete_.clear();
    confirm(localized("Do you want to delete the lower numbered chapters in the Downloads folder?") + u'\n' +
            localized("Unread chapters and the highest chapter of each manga are not deleted."));
}

bool DownloadsDeleterController::prepareToDeleteDownloads()
{
    downloadsToDelete_.clear();
    const auto fetched = AllDownloadsOrFatalAlert();
    if (!fetched)
        return false;
    const auto &downloads = *fetched;
    bool busy = false;
    QHash<QString, std::shared_ptr<Download>> highest;
    for (const auto &download : downloads) {
        busy = busy || download->isDownloading() || download->isQueued();
        const QString key = download->bookTitle() + download->rootTitle();
        const auto kept = highest.constFind(key);
        const long long number = download->number().value_or(Decimal(0)).integerPart();
        if (kept == highest.constEnd() || number > (*kept)->number().value_or(Decimal(0)).integerPart())
            highest.insert(key, download);
    }
    for (const auto &download : downloads) {
        if (highest.value(download->bookTitle() + download->rootTitle()) == download)
            continue;
        if (download->lastPageRead() >= 0 && !download->isDownloading())
            downloadsToDelete_.push_back(download);
        if (int(downloadsToDelete_.size()) > kMaxDeletions)
            break;
    }
    if (busy) {
        downloadsToDelete_.clear();
        AlertWithMessage(localized("Cannot delete in bulk while downloading"));
        return false;
    }
    return true;
}

void DownloadsDeleterController::deleteDownloadsForeground()
{
    tellDelegate(removeAtOnce({downloadsToDelete_.begin(), downloadsToDelete_.end()}));
}

void DownloadsDeleterController::deleteDownloadsBackground()
{
    if (const auto error = removeInBackground({downloadsToDelete_.begin(), downloadsToDelete_.end()}))
        tellDelegate(error);
    else
        WaitOverlay::instance().show();
}

void DownloadsDeleterController::removePathsDidFinish()
{
    tellDelegate(std::nullopt);
    WaitOverlay::instance().hide();
}

void DownloadsDeleterController::tellDelegate(const std::optional<Error> &error)
{
    if (!delegate_)
        return;
    if (error)
        delegate_->downloadsDeleterDidFail(*this, *error);
    else
        delegate_->downloadsDeleterDidFinish(*this);
}
