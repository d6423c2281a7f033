#pragma once

#include "sites/RecentChaptersParserDelegate.h"

// MangaFox's latest releases: the "updates" list, where each book's date
// comes before its chapters.
class RecentChaptersParserDelegateMangaFox : public RecentChaptersParserDelegate
{
protected:
    bool opensSection(QStringView name, const HyperAttributes &attributes) const override;
    bool isChapterLink(const HyperAttributes &attributes) const override;
    bool isBookLink(const HyperAttributes &attributes) const override;
    bool isDateCell(QStringView name, const HyperAttributes &attributes) const override;
    void sectionText(const QString &text) override;
};
