#include "sites/NavChaptersFetcherQueueWrapper.h"

#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"
#include "foundation/MainThread.h"
#include "foundation/NotificationCenter.h"
#include "sites/NavChaptersFetcher.h"

namespace {
// A cancelled fetch may still sit in its request until the time-out; the
// next fetch must not wait behind it.
constexpr int kConcurrentFetches = 4;
} // namespace

NavChaptersFetcherQueueWrapper::NavChaptersFetcherQueueWrapper() : queue_(kConcurrentFetches) {}

NavChaptersFetcherQueueWrapper::~NavChaptersFetcherQueueWrapper()
{
    queue_.cancelAllOperations();
}

QString NavChaptersFetcherQueueWrapper::didFinishNotification()
{
    return QStringLiteral("NavChaptersFetcherDidFinish");
}

QString NavChaptersFetcherQueueWrapper::didFailNotification()
{
    return QStringLiteral("NavChaptersFetcherDidFail");
}

void NavChaptersFetcherQueueWrapper::goWithURLString(const QString &urlString)
{
    queue_.cancelAllOperations();
    clearResults();
    auto fetcher = NavChaptersFetcher::navChaptersFetcherWithURLString(urlString, this);
    if (!fetcher) {
        AlertWithTitle(localized("Cannot fetch chapters?"));
        return;
    }
    queue_.addOperation(fetcher);
}

void NavChaptersFetcherQueueWrapper::cancel()
{
    queue_.cancelAllOperations();
}

void NavChaptersFetcherQueueWrapper::clearResults()
{
    chapters_.clear();
    navBookInfo_.reset();
    nextPage_.clear();
}

void NavChaptersFetcherQueueWrapper::navBaseChaptersFetcherFinished(NavBaseChaptersFetcher *fetcher)
{
    performOnMainAndWait([this, fetcher] {
        // Cancelled while waiting for the main thread: a newer fetch owns the screen.
        if (fetcher->isCancelled())
            return;
        chapters_ = fetcher->chapters();
        navBookInfo_ = fetcher->navBookInfo();
        nextPage_ = fetcher->nextPage();
        NotificationCenter::defaultCenter().post(didFinishNotification());
    });
}

void NavChaptersFetcherQueueWrapper::navBaseChaptersFetcherFailed(NavBaseChaptersFetcher *fetcher)
{
    performOnMainAndWait([this, fetcher] {
        if (fetcher->isCancelled())
            return;
        clearResults();
        const Error error = fetcher->error().value_or(NavBaseChaptersFetcher::cannotFindChaptersError());
        AlertWithTitleAndMessage(localized("Trouble retrieving the chapters list"), error.localizedDescription());
        NotificationCenter::defaultCenter().post(didFailNotification());
    });
}
