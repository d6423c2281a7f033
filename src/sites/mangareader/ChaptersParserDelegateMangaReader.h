#pragma once

#include "sites/ChaptersParserDelegate.h"

// A MangaReader book page: the cover, the properties table (author, genre)
// and the chapter table, whose cells carry the chapter's name after the link.
class ChaptersParserDelegateMangaReader : public ChaptersParserDelegate
{
protected:
    void startElement(QStringView name, const HyperAttributes &attributes) override;
    void endElement(QStringView name) override;
    void characters(const QString &text) override;

private:
    bool foundInformationImage_ = false;
    bool foundInformationDiv_ = false;
    bool foundInformationHeader_ = false; // inside a label cell
    bool labelSeen_ = false;              // a label cell waits for its value cell
    bool foundInformationContent_ = false;
    bool foundAuthor_ = false;
    bool foundGenre_ = false;
    bool foundChaptersTable_ = false;
    bool processedInformation_ = false;
    bool processedChapters_ = false;
    QString currentTitle_;
};
