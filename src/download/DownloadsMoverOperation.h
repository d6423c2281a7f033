#pragma once

#include <functional>

#include <QStringList>

#include "foundation/Operation.h"
#include "store/ContextDidSaveNotification.h"

// Saves downloads into the library in the background, one save of its own
// store context per download, writing "Processing %d/%d" to the wait
// overlay. Each save is handed to didMove before the next download starts.
// Thread contract: runs on the wrapper's queue of width 1; didMove is called
// on this thread (and hands over to the main thread itself); didFinish runs
// on the main thread while the operation waits, with the number of
// downloads that could not be saved.
class DownloadsMoverOperation : public Operation
{
public:
    // The downloads by uuid, in the order they are to be saved.
    DownloadsMoverOperation(QStringList downloadUuids,
                            std::function<void(const ContextDidSaveNotification &)> didMove,
                            std::function<void(int failed)> didFinish);
    void main() override;

private:
    QStringList downloadUuids_;
    std::function<void(const ContextDidSaveNotification &)> didMove_;
    std::function<void(int failed)> didFinish_;
};
