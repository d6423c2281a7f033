#include "sites/mangafox/NavChaptersFetcherMangaFox.h"

#include "sites/mangafox/ChaptersParserDelegateMangaFox.h"

bool NavChaptersFetcherMangaFox::go()
{
    ChaptersParserDelegateMangaFox parser;
    // The page's own order is kept: it already lists them as shown.
    return goWithParser(parser, false);
}
