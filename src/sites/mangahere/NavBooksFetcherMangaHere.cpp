#include "sites/mangahere/NavBooksFetcherMangaHere.h"

#include "sites/mangahere/BooksParserDelegateMangaHere.h"

bool NavBooksFetcherMangaHere::go()
{
    if (isCancelled())
        return false;
    if (!fetchHTML(urlString_) || isCancelled())
        return false;
    BooksParserDelegateMangaHere parser;
    return readPage(htmlString_, parser);
}
