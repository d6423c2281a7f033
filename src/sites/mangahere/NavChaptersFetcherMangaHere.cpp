#include "sites/mangahere/NavChaptersFetcherMangaHere.h"

#include "sites/mangahere/ChaptersParserDelegateMangaHere.h"

bool NavChaptersFetcherMangaHere::go()
{
    ChaptersParserDelegateMangaHere parser;
    // Shown highest first whatever order the page lists them in.
    return goWithParser(parser, true);
}
