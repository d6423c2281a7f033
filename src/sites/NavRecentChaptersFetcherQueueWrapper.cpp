#include "sites/NavRecentChaptersFetcherQueueWrapper.h"

#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"
#include "foundation/MainThread.h"
#include "foundation/NotificationCenter.h"
#include "sites/NavRecentChaptersFetcher.h"

namespace {
// A cancelled fetch may still sit in its request until the time-out; the
// next fetch must not wait behind it.
constexpr int kConcurrentFetches = 4;
} // namespace

NavRecentChaptersFetcherQueueWrapper::NavRecentChaptersFetcherQueueWrapper() : queue_(kConcurrentFetches) {}

NavRecentChaptersFetcherQueueWrapper::~NavRecentChaptersFetcherQueueWrapper()
{
    queue_.cancelAllOperations();
}

QString NavRecentChaptersFetcherQueueWrapper::didFinishNotification()
{
    return QStringLiteral("NavRecentChaptersFetcherDidFinish");
}

QString NavRecentChaptersFetcherQueueWrapper::didFailNotification()
{
    return QStringLiteral("NavRecentChaptersFetcherDidFail");
}

void NavRecentChaptersFetcherQueueWrapper::goWithURLString(const QString &urlString)
{
    queue_.cancelAllOperations();
    clearResults();
    auto fetcher = NavRecentChaptersFetcher::navRecentChaptersFetcherWithURLString(urlString, this);
    if (!fetcher) {
        AlertWithTitle(localized("Cannot fetch chapters?"));
        return;
    }
    queue_.addOperation(fetcher);
}

void NavRecentChaptersFetcherQueueWrapper::cancel()
{
    queue_.cancelAllOperations();
}

void NavRecentChaptersFetcherQueueWrapper::clearResults()
{
    books_.clear();
    chapters_.clear();
    dates_.clear();
    labels_.clear();
}

void NavRecentChaptersFetcherQueueWrapper::navBaseChaptersFetcherFinished(NavBaseChaptersFetcher *fetcher)
{
    // Only recent-chapter fetchers are ever queued here.
    auto *recent = static_cast<NavRecentChaptersFetcher *>(fetcher);
    performOnMainAndWait([this, recent] {
        if (recent->isCancelled())
            return;
        books_ = recent->books();
        chapters_ = recent->chapters();
        dates_ = recent->dates();
        labels_ = recent->labels();
        NotificationCenter::defaultCenter().post(didFinishNotification());
    });
}

void NavRecentChaptersFetcherQueueWrapper::navBaseChaptersFetcherFailed(NavBaseChaptersFetcher *fetcher)
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
