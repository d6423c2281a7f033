#include "sites/mangareader/NavBooksFetcherMangaReader.h"

#include "sites/mangareader/BooksParserDelegateMangaReader.h"
#include "sites/mangareader/BooksParserDelegateMangaReaderPopular.h"
#include "foundation/StringHelpers.h"

// Popular and genre lists are laid out unlike the alphabetical directory.
bool NavBooksFetcherMangaReader::go()
{
    if (isCancelled())
        return false;
    if (!fetchHTML(urlString_) || isCancelled())
        return false;
    if (contains(urlString_, QStringLiteral("popular"))) {
        BooksParserDelegateMangaReaderPopular parser;
        return readPage(htmlString_, parser);
    }
    BooksParserDelegateMangaReader parser;
    return readPage(htmlString_, parser);
}
