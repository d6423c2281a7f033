#include "download/RemovePathsQueueWrapper.h"

#include <mutex>

#include <QDir>

#include "download/RemovePathsOperation.h"
#include "files/MyDirectories.h"
#include "files/PlistArrayFile.h"
#include "foundation/NotificationCenter.h"
#include "foundation/WaitOverlay.h"
#include "store/AppData.h"

namespace {

std::mutex listMutex;

// The folders the stored records own: every book's and every chapter's
// (downloads included).
QStringList ownedDirectories(AppData &appData)
{
    ManagedObjectContext &context = *appData.managedObjectContext();
    QStringList owned;
    for (const auto &book : context.fetch<Book>(FetchRequest(Book::entityName())))
        owned << appData.bookDirectory(*book);
    for (const auto &chapter : context.fetch<Chapter>(FetchRequest(Chapter::entityName()))) {
        if (chapter->book())
            owned << appData.chapterDirectory(*chapter);
    }
    return owned;
}

bool isOwned(const QString &path, const QStringList &owned)
{
    const QString clean = QDir::cleanPath(path);
    for (const QString &directory : owned) {
        // The folder itself or one that holds it.
        if (directory == clean || directory.startsWith(clean + u'/'))
            return true;
    }
    return false;
}

bool inImagesDirectory(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    return clean == path && clean.startsWith(MyDirectories::sharedMyDirectories().imagesDirectory() + u'/');
}

} // namespace

RemovePathsQueueWrapper::RemovePathsQueueWrapper() = default;

RemovePathsQueueWrapper::~RemovePathsQueueWrapper()
{
    *alive_ = false;
    queue_.cancelAllOperations();
    queue_.waitUntilAllOperationsAreFinished();
}

QString RemovePathsQueueWrapper::removePathsFilename()
{
    return MyDirectories::sharedMyDirectories().applicationDocumentDirectory() +
           QStringLiteral("/toRemovePaths");
}

void RemovePathsQueueWrapper::writeRemovePaths(const QStringList &paths)
{
    std::lock_guard lock(listMutex);
    QStringList list = PlistArrayFile::readStrings(removePathsFilename());
    for (const QString &path : paths) {
        if (!list.contains(path))
            list << path;
    }
    PlistArrayFile::writeStrings(removePathsFilename(), list);
}

QStringList RemovePathsQueueWrapper::remainingPaths()
{
    std::lock_guard lock(listMutex);
    return PlistArrayFile::readStrings(removePathsFilename());
}

void RemovePathsQueueWrapper::dropRemovePaths(const QStringList &paths)
{
    std::lock_guard lock(listMutex);
    QStringList list = PlistArrayFile::readStrings(removePathsFilename());
    list.removeIf([&](const QString &path) { return paths.contains(path); });
    PlistArrayFile::writeStrings(removePathsFilename(), list);
}

void RemovePathsQueueWrapper::launchRemovePaths(const QStringList &paths)
{
    writeRemovePaths(paths);
    std::weak_ptr<bool> alive = alive_;
    queue_.setMaxConcurrentOperationCount(1);
    queue_.addOperation(std::make_shared<RemovePathsOperation>(paths, std::nullopt, nullptr,
                                                               [this, alive](const QStringList &done) {
                                                                   if (alive.lock())
                                                                       removePathsDidFinish(done);
                                                               }));
}

void RemovePathsQueueWrapper::launchRemovePaths(const QStringList &paths, const std::shared_ptr<Book> &book)
{
    writeRemovePaths(paths);
    std::weak_ptr<bool> alive = alive_;
    queue_.setMaxConcurrentOperationCount(1);
    queue_.addOperation(std::make_shared<RemovePathsOperation>(
        paths, book->objectID(),
        [this, alive](ObjectID id) {
            if (alive.lock())
                deleteBookDidFinish(id);
        },
        [this, alive](const QStringList &done) {
            if (alive.lock())
                removePathsDidFinish(done);
        }));
}

void RemovePathsQueueWrapper::deleteBookDidFinish(ObjectID book)
{
    AppData &appData = AppData::sharedAppData();
    if (auto object = appData.managedObjectContext()->objectWithID(book)) {
        appData.managedObjectContext()->deleteObject(object);
        appData.save();
    }
}

void RemovePathsQueueWrapper::removePathsDidFinish(const QStringList &done)
{
    AppData::sharedAppData().save();
    dropRemovePaths(done);
    NotificationCenter::defaultCenter().post(DidFinishNotification);
}

std::optional<Error>
RemovePathsQueueWrapper::removeForeground(const std::vector<std::shared_ptr<ManagedObject>> &records,
                                          const QStringList &paths)
{
    AppData &appData = AppData::sharedAppData();
    writeRemovePaths(paths);
    for (const auto &record : records)
        appData.managedObjectContext()->deleteObject(record);
    // A failed save keeps the records, so their folders must stay too; the
    // list entries are then dropped at the next start, as owned.
    if (auto error = appData.save())
        return error;
    for (const QString &path : paths)
        appData.removeDirectory(path);
    dropRemovePaths(paths);
    return std::nullopt;
}

bool RemovePathsQueueWrapper::resumeRemainingPaths()
{
    if (resumed_)
        return false;
    resumed_ = true;
    const QStringList pending = remainingPaths();
    if (pending.isEmpty())
        return false;
    const QStringList owned = ownedDirectories(AppData::sharedAppData());
    QStringList toRemove, dropped;
    for (const QString &path : pending)
        (inImagesDirectory(path) && !isOwned(path, owned) ? toRemove : dropped) << path;
    dropRemovePaths(dropped);
    if (toRemove.isEmpty())
        return false;
    launchRemovePaths(toRemove);
    return true;
}
