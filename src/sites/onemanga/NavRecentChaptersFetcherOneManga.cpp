#include "sites/onemanga/NavRecentChaptersFetcherOneManga.h"

#include "sites/onemanga/RecentChaptersParserDelegateOneManga.h"

bool NavRecentChaptersFetcherOneManga::go()
{
    RecentChaptersParserDelegateOneManga parser;
    return goWithParser(parser);
}
