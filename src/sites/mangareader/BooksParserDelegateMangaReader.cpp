#include "sites/mangareader/BooksParserDelegateMangaReader.h"

void BooksParserDelegateMangaReader::didStartElement(HyperParser &, QStringView name,
                                                     const HyperAttributes &attributes)
{
    if (name == u"ul" && attributes.view("class") == u"series_alpha")
        foundBooksSection = true;
    else if (foundBooksSection && name == u"a")
        currentHRef_ = attributes.value("href");
}

void BooksParserDelegateMangaReader::didEndElement(HyperParser &, QStringView name)
{
    if (name == u"ul")
        foundBooksSection = false;
}

void BooksParserDelegateMangaReader::foundCharacters(HyperParser &, QStringView text)
{
    if (!currentHRef_.isEmpty())
        addBook(titleFromText(text));
}
