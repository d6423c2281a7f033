#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QStringList>

#include "foundation/Error.h"
#include "foundation/OperationQueue.h"
#include "store/ObjectID.h"

class Book;
class ManagedObject;

// Removes library folders in the background and keeps the ones still to go
// in "toRemovePaths", so that a removal cut short by a crash or an exit is
// finished at the next start. Every deletion deletes and saves the records
// before their folders go; a folder that a stored record still owns is never
// removed.
// Thread contract: main thread only; the removal runs on its own queue of
// width 1 and reports back on the main thread ("RemovePathsDidFinish").
class RemovePathsQueueWrapper
{
public:
    static inline const QString DidFinishNotification = QStringLiteral("RemovePathsDidFinish");

    RemovePathsQueueWrapper();
    ~RemovePathsQueueWrapper();
    RemovePathsQueueWrapper(const RemovePathsQueueWrapper &) = delete;
    RemovePathsQueueWrapper &operator=(const RemovePathsQueueWrapper &) = delete;

    // Adds the paths to the pending list and removes them in the background.
    void launchRemovePaths(const QStringList &paths);
    // The same after deleting and saving the book (a whole book removed).
    void launchRemovePaths(const QStringList &paths, const std::shared_ptr<Book> &book);

    // Deletes the records, saves, then removes the folders at once on this
    // thread; the folders stay listed until they are gone. A failed save
    // (its alert shown) keeps the folders and is returned.
    std::optional<Error> removeForeground(const std::vector<std::shared_ptr<ManagedObject>> &records,
                                          const QStringList &paths);

    // Starts the removal that an earlier run left in "toRemovePaths", once
    // per wrapper; paths that a stored book, chapter or download owns, or
    // that lie outside the images folder, are dropped instead. True when a
    // removal was started.
    bool resumeRemainingPaths();

    // The pending list: written adds to it (a second removal queued behind a
    // first must not erase the first's paths).
    static void writeRemovePaths(const QStringList &paths);
    static QStringList remainingPaths();
    static QString removePathsFilename();

    OperationQueue &queue() { return queue_; }

private:
    void removePathsDidFinish(const QStringList &done);
    void deleteBookDidFinish(ObjectID book);
    static void dropRemovePaths(const QStringList &paths);

    OperationQueue queue_{1};
    bool resumed_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
