#include "download/DeducerQueueWrapper.h"

#include "catalogue/SiteRegistry.h"
#include "deduction/DeducerParams.h"
#include "download/DeducerFetcher.h"
#include "download/DownloadManager.h"
#include "download/DownloadServices.h"
#include "download/DownloadsProgressSink.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"

DeducerQueueWrapper::DeducerQueueWrapper(DownloadManager &manager) : manager_(manager) {}

DeducerQueueWrapper::~DeducerQueueWrapper()
{
    queue_.cancelAllOperations();
}

void DeducerQueueWrapper::setProgressTypeLabel()
{
    if (auto sink = manager_.services().progressSink()) {
        sink->setProgressTypeLabel(localized("Preprocessing..."));
        sink->setProgressLabel(QString());
    }
}

bool DeducerQueueWrapper::goWithSelectPages(std::optional<QStringList> selectPages,
                                            std::optional<ImageElements> firstPageImages,
                                            const QString &htmlSource, const QString &firstPageURLString,
                                            const QString &webPageTitle,
                                            const std::shared_ptr<DownloadsProgressSink> &progressView,
                                            DeducerDelegate *delegate)
{
    if (queue_.operationCount() > 0)
        queue_.cancelAllOperations();
    setProgressTypeLabel();
    auto deducer =
        SiteRegistry::deducerWithSelectPages(std::move(selectPages), std::move(firstPageImages), htmlSource,
                                             firstPageURLString, webPageTitle, progressView, delegate);
    if (!deducer) {
        AlertWithTitle(localized("Cannot deduce website?"));
        return false;
    }
    deducer->setCheckHeaderLimit(qint32(DeducerParams::sharedDeducerParams().deducerNumberOfCheckHeaders));
    if (timeOuts_)
        deducer->setTimeOuts(*timeOuts_);
    queue_.addOperation(std::move(deducer));
    return true;
}

void DeducerQueueWrapper::cancel()
{
    // A cancelled deducer reports nothing, so its count is given back here.
    manager_.deducerFetcher().setIsDeducing(false);
    manager_.services().decrementDownloadsBadgeNumber();
    queue_.cancelAllOperations();
}
