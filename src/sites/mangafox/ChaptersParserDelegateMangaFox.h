#pragma once

#include "sites/ChaptersParserDelegate.h"

// A MangaFox book page. Four readers run side by side over the same events,
// each with its own state, so that a change in one part of the page cannot
// derail the others: the status/rank block, the details table with the
// summary, the cover, and the chapter list (the "chlist" layout and the
// older "listing" table).
class ChaptersParserDelegateMangaFox : public ChaptersParserDelegate
{
protected:
    void startElement(QStringView name, const HyperAttributes &attributes) override;
    void endElement(QStringView name) override;
    void characters(const QString &text) override;

private:
    void infoDivStart(QStringView name);
    void infoDivText(const QString &trimmed);
    void infoTableStart(QStringView name, const HyperAttributes &attributes);
    void infoTableEnd(QStringView name);
    void infoTableText(const QString &trimmed);
    void chaptersStart(QStringView name, const HyperAttributes &attributes);
    void chaptersEnd(QStringView name);
    void chaptersText(const QString &text);

    // Where the parser stands in one part of the page.
    enum class Part { Ahead, Inside, Done };

    // Status and rank.
    Part infoDiv_ = Part::Ahead;
    bool infoDivKey_ = false;
    bool infoDivValue_ = false;
    // What the last label announced.
    enum class DivField { None, Status, Rank } divField_ = DivField::None;
    QString infoDivText_;

    // Release date, author, artist, genre, summary. The labels of one row
    // can select several fields at once, hence one flag each.
    Part infoTable_ = Part::Ahead;
    bool foundInfoKey_ = false;
    bool foundInfoValue_ = false;
    bool foundReleaseDate_ = false;
    bool foundAuthor_ = false;
    bool foundArtist_ = false;
    bool foundGenre_ = false;
    bool foundSummary_ = false;
    QString summaryText_;

    bool foundCover_ = false;

    // Chapters: the list being read ("chlist" is the new layout, the
    // "listing" table the old one), and whether the last chapter added
    // still waits for its name (in the new layout, in the name's span).
    enum class ChapterList { None, ChList, Listing } chapterList_ = ChapterList::None;
    enum class ChapterName { None, Awaited, InSpan } chapterName_ = ChapterName::None;
};
