#include "sites/mangareader/BooksParserDelegateMangaReaderPopular.h"

void BooksParserDelegateMangaReaderPopular::didStartElement(HyperParser &, QStringView name,
                                                            const HyperAttributes &attributes)
{
    if (name == u"div" && attributes.view("class") == u"manga_name")
        foundBooksSection = true;
    else if (foundBooksSection && name == u"a")
        currentHRef_ = attributes.value("href");
}

void BooksParserDelegateMangaReaderPopular::foundCharacters(HyperParser &, QStringView text)
{
    if (currentHRef_.isEmpty())
        return;
    addBook(titleFromText(text));
    foundBooksSection = false;
}
