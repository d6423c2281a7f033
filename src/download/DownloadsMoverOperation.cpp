#include "download/DownloadsMoverOperation.h"

#include "download/DownloadMover.h"
#include "foundation/Localized.h"
#include "foundation/MainThread.h"
#include "foundation/WaitOverlay.h"
#include "store/AppData.h"
#include "store/DownloadsRequest.h"

DownloadsMoverOperation::DownloadsMoverOperation(
    QStringList downloadUuids, std::function<void(const ContextDidSaveNotification &)> didMove,
    std::function<void(int failed)> didFinish)
    : downloadUuids_(std::move(downloadUuids)), didMove_(std::move(didMove)), didFinish_(std::move(didFinish))
{}

void DownloadsMoverOperation::main()
{
    AppData &appData = AppData::sharedAppData();
    auto context = appData.newManagedObjectContext(false);
    context->addDidSaveObserver(this, [this](const ContextDidSaveNotification &notification) {
        if (didMove_)
            didMove_(notification);
    });

    std::vector<std::shared_ptr<Download>> downloads;
    const auto all = context->fetch<Download>(DownloadsRequest(context.get()));
    for (const QString &uuid : downloadUuids_) {
        for (const auto &download : all) {
            if (download->uuid() == uuid)
                downloads.push_back(download);
        }
    }

    const int total = int(downloads.size());
    QStringList saved;
    int failed = 0;
    for (int i = 0; i < total && !isCancelled(); ++i) {
        WaitOverlay::postLabelText(
            withArguments(localized("Processing %d/%d"), {QString::number(i + 1), QString::number(total)}));
        const QString uuid = downloads[size_t(i)]->uuid();
        if (!DownloadMover::save(downloads[size_t(i)], *context, false) ||
            appData.saveInManagedObjectContext(*context)) {
            ++failed;
            continue;
        }
        saved << uuid;
    }
    // Once for the run: a journal entry left by a crash before this point
    // is settled at the next start all the same.
    DownloadMover::didSave(saved);
    context->removeDidSaveObserver(this);
    if (didFinish_)
        reportOnMain([&] { didFinish_(failed); });
}
