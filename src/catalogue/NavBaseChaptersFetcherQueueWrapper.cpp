#include "catalogue/NavBaseChaptersFetcherQueueWrapper.h"

#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"
#include "foundation/MainThread.h"
#include "foundation/NotificationCenter.h"

namespace {
// A cancelled fetch may still sit in its request until the time-out; the
// next fetch must not wait behind it.
constexpr int kConcurrentFetches = 4;
} // namespace

NavBaseChaptersFetcherQueueWrapper::NavBaseChaptersFetcherQueueWrapper(QString didFinishName,
                                                                       QString didFailName)
    : queue_(kConcurrentFetches), didFinishName_(std::move(didFinishName)),
      didFailName_(std::move(didFailName))
{}

void NavBaseChaptersFetcherQueueWrapper::goWithURLString(const QString &urlString)
{
    queue_.cancelAllOperations();
    clearResults();
    auto fetcher = fetcherWithURLString(urlString);
    if (!fetcher) {
        AlertWithTitle(localized("Cannot fetch chapters?"));
        return;
    }
    queue_.addOperation(fetcher);
}

void NavBaseChaptersFetcherQueueWrapper::cancel()
{
    queue_.cancelAllOperations();
}

void NavBaseChaptersFetcherQueueWrapper::navBaseChaptersFetcherFinished(NavBaseChaptersFetcher *fetcher)
{
    performOnMainAndWait([this, fetcher] {
        // Cancelled while waiting for the main thread: a newer fetch owns the screen.
        if (fetcher->isCancelled())
            return;
        takeResults(*fetcher);
        NotificationCenter::defaultCenter().post(didFinishName_);
    });
}

void NavBaseChaptersFetcherQueueWrapper::navBaseChaptersFetcherFailed(NavBaseChaptersFetcher *fetcher)
{
    performOnMainAndWait([this, fetcher] {
        if (fetcher->isCancelled())
            return;
        clearResults();
        const Error error = fetcher->error().value_or(NavBaseChaptersFetcher::cannotFindChaptersError());
        AlertWithTitleAndMessage(localized("Trouble retrieving the chapters list"),
                                 error.localizedDescription());
        NotificationCenter::defaultCenter().post(didFailName_);
    });
}
