#include "sites/onemanga/NavChaptersFetcherOneManga.h"

#include "sites/onemanga/ChaptersParserDelegateOneManga.h"

bool NavChaptersFetcherOneManga::go()
{
    ChaptersParserDelegateOneManga parser;
    // The page's own order is kept: it already lists them as shown.
    return goWithParser(parser, false);
}
