// Fuzzes every site's book-page parser (chapter list and book details) with
// arbitrary page text.
#include <algorithm>
#include <memory>

#include "FuzzSupport.h"
#include "sites/mangafox/ChaptersParserDelegateMangaFox.h"
#include "sites/mangahere/ChaptersParserDelegateMangaHere.h"
#include "sites/mangareader/ChaptersParserDelegateMangaReader.h"
#include "sites/onemanga/ChaptersParserDelegateOneManga.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString page = pageText(data, size);
    std::unique_ptr<ChaptersParserDelegate> parsers[] = {
        std::make_unique<ChaptersParserDelegateMangaFox>(),
        std::make_unique<ChaptersParserDelegateMangaHere>(),
        std::make_unique<ChaptersParserDelegateMangaReader>(),
        std::make_unique<ChaptersParserDelegateOneManga>()};
    for (auto &parser : parsers) {
        parse(page, *parser);
        require(parser->navChapters().size() <= tagCount(page), "more chapters than tags");
        QList<NavChapter> sorted = parser->navChapters();
        std::sort(sorted.begin(), sorted.end(),
                  [](const NavChapter &a, const NavChapter &b) { return a.compare(b) < 0; });
    }
    return 0;
}
