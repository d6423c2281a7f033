#include "sites/NavRecentChaptersFetcher.h"

#include "foundation/MainThread.h"
#include "sites/LicensedRecentChaptersFilter.h"
#include "sites/NavRecentChaptersFetcherMangaFox.h"
#include "sites/NavRecentChaptersFetcherMangaHere.h"
#include "sites/NavRecentChaptersFetcherMangaReader.h"
#include "sites/NavRecentChaptersFetcherOneManga.h"
#include "sites/SiteConfig.h"
#include "sites/RecentChaptersParserDelegate.h"
#include "web/HyperParser.h"

namespace {
std::mutex providerMutex;
NavRecentChaptersFetcher::FavoriteTitlesProvider favoriteTitlesProvider;
} // namespace

std::shared_ptr<NavRecentChaptersFetcher>
NavRecentChaptersFetcher::navRecentChaptersFetcherWithURLString(const QString &urlString,
                                                                NavBaseChaptersFetcherDelegate *delegate)
{
    // The site words in their fixed order; a configured mirror or test site
    // counts as the site it stands in for.
    const QString site = SiteConfig::siteKeyForURL(urlString);
    if (site == u"onemanga")
        return std::make_shared<NavRecentChaptersFetcherOneManga>(urlString, delegate);
    if (site == u"mangafox")
        return std::make_shared<NavRecentChaptersFetcherMangaFox>(urlString, delegate);
    if (site == u"mangareader")
        return std::make_shared<NavRecentChaptersFetcherMangaReader>(urlString, delegate);
    if (site == u"mangahere")
        return std::make_shared<NavRecentChaptersFetcherMangaHere>(urlString, delegate);
    return nullptr;
}

void NavRecentChaptersFetcher::setFavoriteTitlesProvider(FavoriteTitlesProvider provider)
{
    std::lock_guard<std::mutex> guard(providerMutex);
    favoriteTitlesProvider = std::move(provider);
}

bool NavRecentChaptersFetcher::checkResults() const
{
    return !chapters_.isEmpty() && books_.size() == chapters_.size() && dates_.size() == chapters_.size() &&
           labels_.size() == chapters_.size();
}

bool NavRecentChaptersFetcher::goWithParser(RecentChaptersParserDelegate &parser)
{
    if (isCancelled())
        return false;
    HyperParser hyperParser(htmlString_);
    hyperParser.setDelegate(&parser);
    hyperParser.setOperationDelegate(this);
    hyperParser.parse();
    chapters_ = parser.navChapters();
    books_ = parser.navBooks();
    dates_ = parser.dates();
    labels_ = parser.labels();
    if (isCancelled())
        return false;
    if (!checkResults())
        return failWithError(cannotFindChaptersError());
    return true;
}

void NavRecentChaptersFetcher::filterLicensed()
{
    FavoriteTitlesProvider provider;
    {
        std::lock_guard<std::mutex> guard(providerMutex);
        provider = favoriteTitlesProvider;
    }
    // The favourites live in the main thread's store context, which is not
    // to be touched from this thread: ask the main thread and wait.
    QStringList allowed;
    if (provider)
        performOnMainAndWait([&] { allowed = provider(); });
    const LicensedRecentChaptersFilter<NavChapter> filter(books_, chapters_, dates_, labels_, allowed);
    books_ = filter.filteredNavBooks();
    chapters_ = filter.filteredNavChapters();
    dates_ = filter.filteredDates();
    labels_ = filter.filteredLabels();
}

std::mutex &NavRecentChaptersFetcher::finishedLock()
{
    static std::mutex lock;
    return lock;
}

std::mutex &NavRecentChaptersFetcher::failedLock()
{
    static std::mutex lock;
    return lock;
}
