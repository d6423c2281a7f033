#include "sites/NavRecentChaptersFetcherOneManga.h"

#include "sites/RecentChaptersParserDelegateOneManga.h"

bool NavRecentChaptersFetcherOneManga::go()
{
    RecentChaptersParserDelegateOneManga parser;
    return goWithParser(parser);
}
