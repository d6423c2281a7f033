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
    // Where the parser stands in one part of the page.
    enum class Part { Ahead, Inside, Done };

    bool foundInformationImage_ = false;
    Part properties_ = Part::Ahead;
    bool foundInformationHeader_ = false; // inside a label cell
    bool labelSeen_ = false;              // a label cell waits for its value cell
    bool foundInformationContent_ = false;
    // What the last label announced.
    enum class Field { None, Author, Genre } field_ = Field::None;
    Part chapters_ = Part::Ahead;
    QString currentTitle_;
};
