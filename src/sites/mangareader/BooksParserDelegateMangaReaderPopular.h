#pragma once

#include "sites/BooksParserDelegate.h"

// Popular and genre lists: each book sits in its own "manga_name" block,
// whose first link is the book.
class BooksParserDelegateMangaReaderPopular : public BooksParserDelegate
{
public:
    void didStartElement(HyperParser &parser, QStringView name, const HyperAttributes &attributes) override;
    void foundCharacters(HyperParser &parser, QStringView text) override;

    bool foundBooksSection = false;
};
