#pragma once

#include "sites/BooksParserDelegate.h"

// The alphabetical directory: every link of a "series_alpha" list is a
// book, titled by the first text after it.
class BooksParserDelegateMangaReader : public BooksParserDelegate
{
public:
    void didStartElement(HyperParser &parser, QStringView name, const HyperAttributes &attributes) override;
    void didEndElement(HyperParser &parser, QStringView name) override;
    void foundCharacters(HyperParser &parser, QStringView text) override;

    bool foundBooksSection = false;
};
