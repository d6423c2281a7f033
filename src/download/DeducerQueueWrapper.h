#pragma once

#include <memory>
#include <optional>

#include <QString>
#include <QStringList>

#include "deduction/Deducer.h"
#include "foundation/OperationQueue.h"

class DeducerDelegate;
class DownloadManager;
class DownloadsProgressSink;

// The queue on which page deductions run. Each new deduction cancels what the
// queue still holds, so only the newest one ever reports.
// Thread contract: main thread only; the deductions run on the queue's
// workers and report to their delegate there.
class DeducerQueueWrapper
{
public:
    explicit DeducerQueueWrapper(DownloadManager &manager);
    ~DeducerQueueWrapper();
    DeducerQueueWrapper(const DeducerQueueWrapper &) = delete;
    DeducerQueueWrapper &operator=(const DeducerQueueWrapper &) = delete;

    // False, after the alert "Cannot deduce website?", when no site's
    // deducer takes the address.
    bool goWithSelectPages(std::optional<QStringList> selectPages,
                           std::optional<ImageElements> firstPageImages, const QString &htmlSource,
                           const QString &firstPageURLString, const QString &webPageTitle,
                           const std::shared_ptr<DownloadsProgressSink> &progressView,
                           DeducerDelegate *delegate);
    void cancel();
    void setProgressTypeLabel();

    OperationQueue &queue() { return queue_; }
    // Request time-outs of the deductions started from now on (tests shorten them).
    void setTimeOuts(Deducer::TimeOuts timeOuts) { timeOuts_ = timeOuts; }

private:
    DownloadManager &manager_;
    std::optional<Deducer::TimeOuts> timeOuts_;
    // Wider than one so that a new deduction need not wait for a cancelled
    // one to wind down its request. Declared last: its workers are joined
    // before anything they read goes.
    OperationQueue queue_{2};
};
