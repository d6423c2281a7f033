#include "download/DownloadsDeleterController.h"

#include <QHash>

#include "download/LibraryQueues.h"
#include "download/RemovePathsQueueWrapper.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Alerts.h"
#include "foundation/Localized.h"
#include "foundation/NotificationCenter.h"
#include "foundation/WaitOverlay.h"
#include "store/AppData.h"
#include "store/DownloadsRequest.h"

namespace {
constexpr int kForegroundLimit = 6;
}

DownloadsDeleterController::DownloadsDeleterController(DownloadsDeleterControllerDelegate *delegate)
    : delegate_(delegate)
{}

DownloadsDeleterController::~DownloadsDeleterController()
{
    *alive_ = false;
    removeFromNotifications();
}

void DownloadsDeleterController::deleteDownloads()
{
    downloadsToDelete_.clear();
    const QString message =
        localized("Do you want to delete the lower numbered chapters in the Downloads folder?") + u'\n' +
        localized("Unread chapters and the highest chapter of each manga are not deleted.");
    ConfirmWithMessage(message, kConfirmationTag, alive_,
                       [this](int index) { alertViewClickedButtonAtIndex(kConfirmationTag, index); });
}

void DownloadsDeleterController::addToNotifications()
{
    NotificationCenter::defaultCenter().addObserver(this, RemovePathsQueueWrapper::DidFinishNotification,
                                                    [this] { removePathsDidFinish(); });
}

void DownloadsDeleterController::removeFromNotifications()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void DownloadsDeleterController::alertViewClickedButtonAtIndex(int tag, int buttonIndex)
{
    if (tag != kConfirmationTag || buttonIndex != 1)
        return;
    if (!prepareToDeleteDownloads())
        return;
    if (int(downloadsToDelete_.size()) < kForegroundLimit)
        deleteDownloadsForeground();
    else
        deleteDownloadsBackground();
}

bool DownloadsDeleterController::prepareToDeleteDownloads()
{
    downloadsToDelete_.clear();
    std::optional<Error> error;
    const auto downloads =
        AppData::sharedAppData().managedObjectContext()->fetch<Download>(DownloadsRequest(), &error);
    if (error) {
        AlertWithTitleAndError(localized("Fatal! Please exit the application"), *error);
        return false;
    }
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
    AppData &appData = AppData::sharedAppData();
    std::vector<std::shared_ptr<ManagedObject>> records;
    QStringList paths;
    for (const auto &download : downloadsToDelete_) {
        paths << appData.chapterDirectory(*download);
        records.push_back(download);
    }
    const auto error = LibraryQueues::removePathsQueueWrapper()->removeForeground(records, paths);
    if (!delegate_)
        return;
    if (error)
        delegate_->downloadsDeleterDidFail(*this, *error);
    else
        delegate_->downloadsDeleterDidFinish(*this);
}

void DownloadsDeleterController::deleteDownloadsBackground()
{
    AppData &appData = AppData::sharedAppData();
    QStringList paths;
    for (const auto &download : downloadsToDelete_)
        paths << appData.chapterDirectory(*download);
    RemovePathsQueueWrapper::writeRemovePaths(paths);
    for (const auto &download : downloadsToDelete_)
        appData.managedObjectContext()->deleteObject(download);
    // A failed save keeps the records, and with them their folders.
    if (const auto error = appData.save()) {
        if (delegate_)
            delegate_->downloadsDeleterDidFail(*this, *error);
        return;
    }
    LibraryQueues::removePathsQueueWrapper()->launchRemovePaths(paths);
    WaitOverlay::instance().show();
}

void DownloadsDeleterController::removePathsDidFinish()
{
    if (delegate_)
        delegate_->downloadsDeleterDidFinish(*this);
    WaitOverlay::instance().hide();
}
