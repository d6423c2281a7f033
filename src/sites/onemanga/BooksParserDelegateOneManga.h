#pragma once

#include "sites/BooksParserDelegate.h"

// The directory table: in each "ch-subject" cell the book is the link to
// "/Name/", and a later span of the cell holds its rank as "(N)".
class BooksParserDelegateOneManga : public BooksParserDelegate
{
public:
    void didStartElement(HyperParser &parser, QStringView name, const HyperAttributes &attributes) override;
    void didEndElement(HyperParser &parser, QStringView name) override;
    void foundCharacters(HyperParser &parser, QStringView text) override;

    bool foundColumn = false;
    bool nextIsRank = false; // a book was added: its rank follows in a span
    bool foundRank = false;  // the next text is that rank
};
