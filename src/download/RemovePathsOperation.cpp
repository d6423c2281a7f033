#include "download/RemovePathsOperation.h"

#include "foundation/Localized.h"
#include "foundation/MainThread.h"
#include "foundation/WaitOverlay.h"
#include "store/AppData.h"

RemovePathsOperation::RemovePathsOperation(QStringList paths, std::optional<ObjectID> book,
                                           std::function<void(ObjectID)> deleteBookDidFinish,
                                           std::function<void(QStringList)> removePathsDidFinish)
    : paths_(std::move(paths)), book_(book), deleteBookDidFinish_(std::move(deleteBookDidFinish)),
      removePathsDidFinish_(std::move(removePathsDidFinish))
{}

void RemovePathsOperation::main()
{
    if (book_ && deleteBookDidFinish_) {
        const ObjectID book = *book_;
        reportOnMain([this, book] { deleteBookDidFinish_(book); });
    }
    QStringList done;
    for (qsizetype i = 0; i < paths_.size() && !isCancelled(); ++i) {
        WaitOverlay::postLabelText(withArguments(localized("Processing %d/%d"),
                                                 {QString::number(i + 1), QString::number(paths_.size())}));
        AppData::sharedAppData().removeDirectory(paths_[i]);
        done << paths_[i];
    }
    if (removePathsDidFinish_)
        performOnMain([callback = removePathsDidFinish_, done] { callback(done); });
}
