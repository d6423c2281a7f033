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
    bool foundInformationDiv_ = false;
    bool foundInformationKey_ = false;
    bool foundAuthor_ = false;
    bool foundGenre_ = false;
    bool foundRank_ = false;
    bool foundSummary_ = false;
    bool foundChaptersSection_ = false;
    bool processedInformation_ = false;
    bool processedChapters_ = false;
};
