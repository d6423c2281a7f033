#include "sites/NavChaptersFetcher.h"

#include <algorithm>

#include "sites/ChaptersParserDelegate.h"
#include "sites/NavChaptersFetcherMangaFox.h"
#include "sites/NavChaptersFetcherMangaHere.h"
#include "sites/NavChaptersFetcherMangaReader.h"
#include "sites/NavChaptersFetcherOneManga.h"
#include "sites/SiteConfig.h"
#include "web/HyperParser.h"

std::shared_ptr<NavChaptersFetcher>
NavChaptersFetcher::navChaptersFetcherWithURLString(const QString &urlString,
                                                    NavBaseChaptersFetcherDelegate *delegate)
{
    // The site words in their fixed order; a configured mirror or test site
    // counts as the site it stands in for.
    const QString site = SiteConfig::siteKeyForURL(urlString);
    if (site == u"onemanga")
        return std::make_shared<NavChaptersFetcherOneManga>(urlString, delegate);
    if (site == u"mangafox")
        return std::make_shared<NavChaptersFetcherMangaFox>(urlString, delegate);
    if (site == u"mangareader")
        return std::make_shared<NavChaptersFetcherMangaReader>(urlString, delegate);
    if (site == u"mangahere")
        return std::make_shared<NavChaptersFetcherMangaHere>(urlString, delegate);
    return nullptr;
}

bool NavChaptersFetcher::goWithParser(ChaptersParserDelegate &parser, bool highestFirst)
{
    if (isCancelled())
        return false;
    HyperParser hyperParser(htmlString_);
    hyperParser.setDelegate(&parser);
    hyperParser.setOperationDelegate(this);
    hyperParser.parse();
    chapters_ = parser.navChapters();
    navBookInfo_ = parser.navBookInfo();
    if (highestFirst)
        std::stable_sort(chapters_.begin(), chapters_.end(),
                         [](const NavChapter &a, const NavChapter &b) { return a.compare(b) < 0; });
    if (isCancelled())
        return false;
    if (chapters_.isEmpty())
        return failWithError(cannotFindChaptersError());
    return true;
}

std::mutex &NavChaptersFetcher::finishedLock()
{
    static std::mutex lock;
    return lock;
}

std::mutex &NavChaptersFetcher::failedLock()
{
    static std::mutex lock;
    return lock;
}
