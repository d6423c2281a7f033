#include "sites/mangareader/NavRecentChaptersFetcherMangaReader.h"

#include "sites/mangareader/RecentChaptersParserDelegateMangaReader.h"

bool NavRecentChaptersFetcherMangaReader::go()
{
    RecentChaptersParserDelegateMangaReader parser;
    return goWithParser(parser);
}
