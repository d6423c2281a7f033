#include "sites/NavChaptersFetcherMangaReader.h"

#include "sites/ChaptersParserDelegateMangaReader.h"

bool NavChaptersFetcherMangaReader::go()
{
    ChaptersParserDelegateMangaReader parser;
    // Shown highest first whatever order the page lists them in.
    return goWithParser(parser, true);
}
