// Fuzzes every site's latest-release parser with arbitrary page text: the
// four lists it fills must stay parallel whenever the page passes the
// fetcher's check, and the licence filter must keep them parallel.
#include <memory>

#include "FuzzSupport.h"
#include "sites/LicensedRecentChaptersFilter.h"
#include "sites/mangafox/RecentChaptersParserDelegateMangaFox.h"
#include "sites/mangahere/RecentChaptersParserDelegateMangaHere.h"
#include "sites/mangareader/RecentChaptersParserDelegateMangaReader.h"
#include "sites/onemanga/RecentChaptersParserDelegateOneManga.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString page = pageText(data, size);
    std::unique_ptr<RecentChaptersParserDelegate> parsers[] = {
        std::make_unique<RecentChaptersParserDelegateMangaFox>(),
        std::make_unique<RecentChaptersParserDelegateMangaHere>(),
        std::make_unique<RecentChaptersParserDelegateMangaReader>(),
        std::make_unique<RecentChaptersParserDelegateOneManga>()};
    for (auto &parser : parsers) {
        parse(page, *parser);
        const qsizetype n = parser->navChapters().size();
        require(n <= tagCount(page), "more releases than tags");
        if (n == 0 || parser->navBooks().size() != n || parser->dates().size() != n ||
            parser->labels().size() != n)
            continue;
        const LicensedRecentChaptersFilter<NavChapter> filter(
            parser->navBooks(), parser->navChapters(), parser->dates(), parser->labels(), QStringList());
        const qsizetype kept = filter.filteredNavChapters().size();
        require(kept <= n && filter.filteredNavBooks().size() == kept &&
                    filter.filteredDates().size() == kept && filter.filteredLabels().size() == kept,
                "filtered releases not parallel");
    }
    return 0;
}
