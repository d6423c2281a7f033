#include "catalogue/NavRecentChaptersFetcherQueueWrapper.h"

#include "catalogue/SiteRegistry.h"
#include "sites/NavRecentChaptersFetcher.h"

NavRecentChaptersFetcherQueueWrapper::NavRecentChaptersFetcherQueueWrapper()
    : NavBaseChaptersFetcherQueueWrapper(didFinishNotification(), didFailNotification())
{}

NavRecentChaptersFetcherQueueWrapper::~NavRecentChaptersFetcherQueueWrapper()
{
    cancel();
}

QString NavRecentChaptersFetcherQueueWrapper::didFinishNotification()
{
    return QStringLiteral("NavRecentChaptersFetcherDidFinish");
}

QString NavRecentChaptersFetcherQueueWrapper::didFailNotification()
{
    return QStringLiteral("NavRecentChaptersFetcherDidFail");
}

std::shared_ptr<NavBaseChaptersFetcher>
NavRecentChaptersFetcherQueueWrapper::fetcherWithURLString(const QString &urlString)
{
    return SiteRegistry::navRecentChaptersFetcherWithURLString(urlString, this);
}

void NavRecentChaptersFetcherQueueWrapper::takeResults(NavBaseChaptersFetcher &fetcher)
{
    // Only recent-chapter fetchers are ever queued here.
    const auto &recent = static_cast<const NavRecentChaptersFetcher &>(fetcher);
    books_ = recent.books();
    chapters_ = recent.chapters();
    dates_ = recent.dates();
    labels_ = recent.labels();
}

void NavRecentChaptersFetcherQueueWrapper::clearResults()
{
    books_.clear();
    chapters_.clear();
    dates_.clear();
    labels_.clear();
}
