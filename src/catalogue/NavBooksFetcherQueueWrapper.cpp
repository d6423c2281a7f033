#include "catalogue/NavBooksFetcherQueueWrapper.h"

#include "catalogue/SiteRegistry.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"
#include "foundation/MainThread.h"
#include "foundation/NotificationCenter.h"
#include "sites/NavBooksCache.h"

const QString &NavBooksFetcherQueueWrapper::didFinishNotification()
{
    static const QString name = QStringLiteral("NavBooksFetcherDidFinish");
    return name;
}

const QString &NavBooksFetcherQueueWrapper::didFailNotification()
{
    static const QString name = QStringLiteral("NavBooksFetcherDidFail");
    return name;
}

NavBooksFetcherQueueWrapper::NavBooksFetcherQueueWrapper() : queue_(1) {}

NavBooksFetcherQueueWrapper::~NavBooksFetcherQueueWrapper()
{
    queue_.cancelAllOperations();
}

void NavBooksFetcherQueueWrapper::goWithRootURLString(const QString &rootURLString, const QString &rootTitle,
                                                      const QString &directoryURLString,
                                                      const QString &sectionTitle, bool doSectionFilter,
                                                      bool writeCache)
{
    queue_.cancelAllOperations();
    books_.clear();
    writeCache_ = writeCache;
    auto fetcher = SiteRegistry::navBooksFetcherWithURLString(rootURLString, rootTitle, directoryURLString,
                                                              sectionTitle, doSectionFilter, this);
    if (!fetcher) {
        AlertWithTitle(localized("Error! Cannot fetch mangas from this site?"));
        return;
    }
    queue_.addOperation(std::move(fetcher));
}

void NavBooksFetcherQueueWrapper::cancel()
{
    queue_.cancelAllOperations();
}

void NavBooksFetcherQueueWrapper::navBooksFetcherFinished(NavBooksFetcher &fetcher)
{
    performOnMainAndWait([this, &fetcher] {
        // A newer request may have cancelled this one after it passed its
        // own check; requests start on this thread, so this check is final.
        if (fetcher.isCancelled())
            return;
        books_ = fetcher.books();
        // The screens read the list through the cache at once; its file is
        // written afterwards on the fetch's thread, since a long list takes
        // longer to write than to show.
        if (writeCache_) {
            std::lock_guard lock(unwrittenMutex_);
            unwritten_ = NavBooksCache::announce(books_, fetcher.rootTitle(), fetcher.directoryURLString());
        }
        NotificationCenter::defaultCenter().post(didFinishNotification());
    });
}

void NavBooksFetcherQueueWrapper::navBooksFetcherFinishedInBackground(NavBooksFetcher &)
{
    std::optional<NavBooksCache::Announced> list;
    {
        std::lock_guard lock(unwrittenMutex_);
        list = std::exchange(unwritten_, std::nullopt);
    }
    if (list)
        NavBooksCache::write(*list);
}

void NavBooksFetcherQueueWrapper::navBooksFetcherFailed(NavBooksFetcher &fetcher)
{
    performOnMainAndWait([&fetcher] {
        if (fetcher.isCancelled())
            return;
        const QString message = fetcher.error() ? fetcher.error()->localizedDescription() : QString();
        AlertWithTitleAndMessage(localized("Trouble retrieving directory list"), message);
        NotificationCenter::defaultCenter().post(didFailNotification());
    });
}

bool NavBooksFetcherQueueWrapper::booksCacheExists(const QString &rootTitle,
                                                   const QString &directoryURLString) const
{
    return NavBooksCache::exists(rootTitle, directoryURLString);
}

QList<NavBook> NavBooksFetcherQueueWrapper::booksCacheArray(const QString &rootTitle,
                                                            const QString &directoryURLString) const
{
    return NavBooksCache::books(rootTitle, directoryURLString);
}

QString NavBooksFetcherQueueWrapper::booksCacheDateString(const QString &rootTitle,
                                                          const QString &directoryURLString) const
{
    return NavBooksCache::dateString(rootTitle, directoryURLString);
}

bool NavBooksFetcherQueueWrapper::writeBooksCache(const QList<NavBook> &books, const QString &rootTitle,
                                                  const QString &directoryURLString) const
{
    return NavBooksCache::write(books, rootTitle, directoryURLString);
}

QString NavBooksFetcherQueueWrapper::booksCacheFileName(const QString &rootTitle,
                                                        const QString &directoryURLString) const
{
    return NavBooksCache::fileName(rootTitle, directoryURLString);
}

QString NavBooksFetcherQueueWrapper::prefix()
{
    return NavBooksCache::prefix();
}
