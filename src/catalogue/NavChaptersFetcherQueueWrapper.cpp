#include "catalogue/NavChaptersFetcherQueueWrapper.h"

#include "catalogue/SiteRegistry.h"
#include "sites/NavChaptersFetcher.h"

NavChaptersFetcherQueueWrapper::NavChaptersFetcherQueueWrapper()
    : NavBaseChaptersFetcherQueueWrapper(didFinishNotification(), didFailNotification())
{}

NavChaptersFetcherQueueWrapper::~NavChaptersFetcherQueueWrapper()
{
    cancel();
}

QString NavChaptersFetcherQueueWrapper::didFinishNotification()
{
    return QStringLiteral("NavChaptersFetcherDidFinish");
}

QString NavChaptersFetcherQueueWrapper::didFailNotification()
{
    return QStringLiteral("NavChaptersFetcherDidFail");
}

std::shared_ptr<NavBaseChaptersFetcher>
NavChaptersFetcherQueueWrapper::fetcherWithURLString(const QString &urlString)
{
    return SiteRegistry::navChaptersFetcherWithURLString(urlString, this);
}

void NavChaptersFetcherQueueWrapper::takeResults(NavBaseChaptersFetcher &fetcher)
{
    chapters_ = fetcher.chapters();
    navBookInfo_ = fetcher.navBookInfo();
    nextPage_ = fetcher.nextPage();
}

void NavChaptersFetcherQueueWrapper::clearResults()
{
    chapters_.clear();
    navBookInfo_.reset();
    nextPage_.clear();
}
