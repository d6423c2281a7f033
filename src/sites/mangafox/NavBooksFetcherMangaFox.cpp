#include "sites/mangafox/NavBooksFetcherMangaFox.h"

#include "files/UrlStringJoins.h"
#include "sites/mangafox/BooksParserDelegateMangaFox.h"

// Lists are paged; only the first page ("1.htm") is read.
bool NavBooksFetcherMangaFox::go()
{
    if (isCancelled())
        return false;
    if (!fetchHTML(urlStringByAppendingPathComponent(urlString_, QStringLiteral("1.htm"))) || isCancelled())
        return false;
    BooksParserDelegateMangaFox parser;
    return readPage(htmlString_, parser);
}
