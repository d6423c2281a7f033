#include "sites/mangareader/NavChaptersFetcherMangaReader.h"

#include "sites/mangareader/ChaptersParserDelegateMangaReader.h"

bool NavChaptersFetcherMangaReader::go()
{
    ChaptersParserDelegateMangaReader parser;
    // Shown highest first whatever order the page lists them in.
    return goWithParser(parser, true);
}
