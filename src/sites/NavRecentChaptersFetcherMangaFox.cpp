#include "sites/NavRecentChaptersFetcherMangaFox.h"

#include "sites/RecentChaptersParserDelegateMangaFox.h"

bool NavRecentChaptersFetcherMangaFox::go()
{
    RecentChaptersParserDelegateMangaFox parser;
    return goWithParser(parser);
}
