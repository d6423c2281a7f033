#pragma once

#include "sites/ChaptersParserDelegate.h"

// A MangaHere book page: the detail block (cover, labelled genre, author,
// rank, then the full summary) and the chapter list, which ends where the
// comment area begins. Works on start tags and text alone.
class ChaptersParserDelegateMangaHere : public ChaptersParserDelegate
{
protected:
    void startElement(QStringView name, const HyperAttributes &attributes) override;
    void characters(const QString &text) override;

private:
    // Where the parser stands in one part of the page.
    enum class Part { Ahead, Inside, Done };

    Part details_ = Part::Ahead;
    bool foundInformationKey_ = false;
    // What the last label announced.
    enum class Field { None, Genre, Author, Rank } field_ = Field::None;
    bool foundSummary_ = false;
    Part chapters_ = Part::Ahead;
};
