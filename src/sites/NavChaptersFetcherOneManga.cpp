#include "sites/NavChaptersFetcherOneManga.h"

#include "sites/ChaptersParserDelegateOneManga.h"

bool NavChaptersFetcherOneManga::go()
{
    ChaptersParserDelegateOneManga parser;
    // The page's own order is kept: it already lists them as shown.
    return goWithParser(parser, false);
}
