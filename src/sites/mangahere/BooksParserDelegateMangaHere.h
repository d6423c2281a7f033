#pragma once

#include "sites/BooksParserDelegate.h"

// Directory, genre and search pages: inside the list block a book is a
// "manga_info" link, or any link of a "title" block. Titles arrive with
// some characters still encoded.
class BooksParserDelegateMangaHere : public BooksParserDelegate
{
public:
    void didStartElement(HyperParser &parser, QStringView name, const HyperAttributes &attributes) override;
    void didEndElement(HyperParser &parser, QStringView name) override;
    void foundCharacters(HyperParser &parser, QStringView text) override;

    // "&#39;", "&quot;" and "&amp;" decoded, in that order.
    static QString cleanTitle(const QString &title);

    bool foundListing = false;
    bool foundChapterLink = false;
    bool foundTitle = false;
};
