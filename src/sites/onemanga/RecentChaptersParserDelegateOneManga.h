#pragma once

#include "sites/RecentChaptersParserDelegate.h"

// OneManga's latest releases: the "ch-table" rows, where the link text names
// both the book and the chapter ("Book Chapter 12") and the date cell may
// stand before the link.
class RecentChaptersParserDelegateOneManga : public RecentChaptersParserDelegate
{
protected:
    bool opensSection(QStringView name, const HyperAttributes &attributes) const override;
    bool isChapterLink(const HyperAttributes &attributes) const override;
    bool isBookLink(const HyperAttributes &attributes) const override;
    bool isDateCell(QStringView name, const HyperAttributes &attributes) const override;
    void sectionStart(QStringView name) override;
    void sectionEnd(QStringView name) override;
    void sectionText(const QString &text) override;

private:
    bool inRow_ = false;
};
