#pragma once

#include "sites/RecentChaptersParserDelegate.h"

// MangaHere's latest releases: the "manga_updates" block, a book with its
// time, then its chapters.
class RecentChaptersParserDelegateMangaHere : public RecentChaptersParserDelegate
{
protected:
    bool opensSection(QStringView name, const HyperAttributes &attributes) const override;
    bool isChapterLink(const HyperAttributes &attributes) const override;
    bool isBookLink(const HyperAttributes &attributes) const override;
    bool isDateCell(QStringView name, const HyperAttributes &attributes) const override;
    void sectionText(const QString &text) override;
};
