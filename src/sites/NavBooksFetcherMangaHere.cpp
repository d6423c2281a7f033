#include "sites/NavBooksFetcherMangaHere.h"

#include "sites/BooksParserDelegateMangaHere.h"

bool NavBooksFetcherMangaHere::go()
{
    if (isCancelled())
        return false;
    if (!fetchHTML(urlString_) || isCancelled())
        return false;
    BooksParserDelegateMangaHere parser;
    return parseBooks(parser);
}
