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

    // Status and rank.
    bool foundInfoDiv_ = false;
    bool processedInfoDiv_ = false;
    bool infoDivKey_ = false;
    bool infoDivValue_ = false;
    bool foundStatus_ = false;
    bool foundRank_ = false;
    QString infoDivText_;

    // Release date, author, artist, genre, summary.
    bool foundInfoTable_ = false;
    bool processedInfoTable_ = false;
    bool foundInfoKey_ = false;
    bool foundInfoValue_ = false;
    bool foundReleaseDate_ = false;
    bool foundAuthor_ = false;
    bool foundArtist_ = false;
    bool foundGenre_ = false;
    bool foundSummary_ = false;
    QString summaryText_;

    bool foundCover_ = false;

    // Chapters.
    bool foundChaptersSection_ = false;
    bool newVersion_ = false;
    // The last chapter added still waits for its own name.
    bool addedChapter_ = false;
    // New layout: the name's span has been seen.
    bool foundDetail_ = false;
};
