#include "sites/NavRecentChaptersFetcherMangaReader.h"

#include "sites/RecentChaptersParserDelegateMangaReader.h"

bool NavRecentChaptersFetcherMangaReader::go()
{
    RecentChaptersParserDelegateMangaReader parser;
    return goWithParser(parser);
}
