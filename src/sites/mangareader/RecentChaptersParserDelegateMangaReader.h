#pragma once

#include "sites/RecentChaptersParserDelegate.h"

// MangaReader's latest releases: the "updates" table, one row per book whose
// chapters come before the row's date cell, so they wait for it.
class RecentChaptersParserDelegateMangaReader : public RecentChaptersParserDelegate
{
protected:
    bool opensSection(QStringView name, const HyperAttributes &attributes) const override;
    bool isChapterLink(const HyperAttributes &attributes) const override;
    bool isBookLink(const HyperAttributes &attributes) const override;
    bool isDateCell(QStringView name, const HyperAttributes &attributes) const override;
    void sectionText(const QString &text) override;

private:
    QList<NavChapter> currentNavChapters_;
};
