#include "sites/mangahere/NavRecentChaptersFetcherMangaHere.h"

#include "sites/mangahere/RecentChaptersParserDelegateMangaHere.h"

bool NavRecentChaptersFetcherMangaHere::go()
{
    RecentChaptersParserDelegateMangaHere parser;
    return goWithParser(parser);
}
