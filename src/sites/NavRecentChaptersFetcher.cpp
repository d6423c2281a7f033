#include "sites/NavRecentChaptersFetcher.h"

#include "sites/LicensedRecentChaptersFilter.h"
#include "sites/RecentChaptersParserDelegate.h"
#include "store/AppData.h"

namespace {
std::mutex providerMutex;
NavRecentChaptersFetcher::FavoriteTitlesProvider favoriteTitlesProvider;
} // namespace

QStringList NavRecentChaptersFetcher::favoriteTitles(AppData &appData)
{
    // The shared context belongs to the main thread; this thread gets its
    // own on the same store. Nothing is written, so nothing is merged back.
    const auto context = appData.newManagedObjectContext(false);
    QStringList titles;
    for (const auto &favorite : context->fetch<Favorite>(FetchRequest(AppData::FavoriteEntityName)))
        titles << favorite->title();
    return titles;
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
    parseHTML(parser);
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
    const QStringList allowed = provider ? provider() : favoriteTitles(AppData::sharedAppData());
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
