#pragma once

#include "sites/BooksParserDelegate.h"

// Directory, genre and search pages: the books are the "manga_open" /
// "manga_close" / "title" links inside the "listing" table or the
// "mangalist" block. Once inside, the list is never left.
class BooksParserDelegateMangaFox : public BooksParserDelegate
{
public:
    void didStartElement(HyperParser &parser, QStringView name, const HyperAttributes &attributes) override;
    void foundCharacters(HyperParser &parser, QStringView text) override;

    // Book addresses get "?no_warning=1" so that the book page, fetched
    // later, skips the site's adult-content notice.
    bool appendNoWarning = true;
    bool foundListing = false;
    bool foundChapterLink = false;
};
