#include "download/BulkController.h"

#include "download/LibraryQueues.h"
#include "download/RemovePathsQueueWrapper.h"
#include "foundation/AlertFunctions.h"
#include "foundation/NotificationCenter.h"
#include "store/AppData.h"

BulkController::BulkController(int confirmationTag, QString finishedNotification)
    : tag_(confirmationTag), finishedNotification_(std::move(finishedNotification))
{}

BulkController::~BulkController()
{
    *alive_ = false;
    removeFromNotifications();
}

void BulkController::addToNotifications()
{
    NotificationCenter::defaultCenter().addObserver(this, finishedNotification_,
                                                    [this] { backgroundDidFinish(); });
}

void BulkController::removeFromNotifications()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void BulkController::confirm(const QString &message)
{
    ConfirmWithMessage(message, tag_, alive_,
                       [this](int index) { alertViewClickedButtonAtIndex(tag_, index); });
}

void BulkController::alertViewClickedButtonAtIndex(int tag, int buttonIndex)
{
    if (tag != tag_ || buttonIndex != 1)
        return;
    if (!prepare())
        return;
    if (itemCount() < kForegroundLimit)
        runForeground();
    else
        runBackground();
}

namespace {

void recordsAndFolders(const std::vector<std::shared_ptr<Chapter>> &chapters,
                       std::vector<std::shared_ptr<ManagedObject>> &records, QStringList &folders)
{
    for (const auto &chapter : chapters) {
        folders << AppData::sharedAppData().chapterDirectory(*chapter);
        records.push_back(chapter);
    }
}

} // namespace

std::optional<Error> BulkController::removeAtOnce(const std::vector<std::shared_ptr<Chapter>> &chapters)
{
    std::vector<std::shared_ptr<ManagedObject>> records;
    QStringList folders;
    recordsAndFolders(chapters, records, folders);
    return LibraryQueues::removePathsQueueWrapper()->removeForeground(records, folders);
}

std::optional<Error> BulkController::removeInBackground(const std::vector<std::shared_ptr<Chapter>> &chapters)
{
    std::vector<std::shared_ptr<ManagedObject>> records;
    QStringList folders;
    recordsAndFolders(chapters, records, folders);
    // Listed first, so folders whose records are gone are removed even if
    // the program stops before the removal ends.
    RemovePathsQueueWrapper::writeRemovePaths(folders);
    AppData &appData = AppData::sharedAppData();
    for (const auto &record : records)
        appData.managedObjectContext()->deleteObject(record);
    if (auto error = appData.save())
        return error;
    LibraryQueues::removePathsQueueWrapper()->launchRemovePaths(folders);
    return std::nullopt;
}
