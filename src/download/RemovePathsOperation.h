#pragma once

#include <functional>
#include <optional>

#include <QStringList>

#include "foundation/Operation.h"
#include "store/ObjectID.h"

// Removes folders of the library in the background, one after another,
// writing "Processing %d/%d" to the wait overlay. With a book, the book's
// record is deleted and saved (on the main thread, waiting) before any
// folder goes, so a crash never leaves a stored page without its file.
// Thread contract: runs on the wrapper's queue; the callbacks run on the
// main thread.
class RemovePathsOperation : public Operation
{
public:
    // deleteBook gets the book's id and waits; removePathsDidFinish gets the
    // paths that were handled and does not wait.
    RemovePathsOperation(QStringList paths, std::optional<ObjectID> book,
                         std::function<void(ObjectID)> deleteBookDidFinish,
                         std::function<void(QStringList)> removePathsDidFinish);
    void main() override;

    const QStringList &paths() const { return paths_; }

private:
    QStringList paths_;
    std::optional<ObjectID> book_;
    std::function<void(ObjectID)> deleteBookDidFinish_;
    std::function<void(QStringList)> removePathsDidFinish_;
};
