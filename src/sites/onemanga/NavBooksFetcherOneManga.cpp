#include "sites/onemanga/NavBooksFetcherOneManga.h"

#include "sites/onemanga/BooksParserDelegateOneManga.h"

bool NavBooksFetcherOneManga::go()
{
    if (isCancelled())
        return false;
    if (!fetchHTML(urlString_) || isCancelled())
        return false;
    BooksParserDelegateOneManga parser;
    return readPage(htmlString_, parser);
}
