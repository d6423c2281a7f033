#include "sites/NavRecentChaptersFetcherMangaHere.h"

#include "sites/RecentChaptersParserDelegateMangaHere.h"

bool NavRecentChaptersFetcherMangaHere::go()
{
    RecentChaptersParserDelegateMangaHere parser;
    return goWithParser(parser);
}
