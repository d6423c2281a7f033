#include "sites/mangafox/NavRecentChaptersFetcherMangaFox.h"

#include "sites/mangafox/RecentChaptersParserDelegateMangaFox.h"

bool NavRecentChaptersFetcherMangaFox::go()
{
    RecentChaptersParserDelegateMangaFox parser;
    return goWithParser(parser);
}
