#pragma once

#include <QStringList>

#include "web/HyperParserDelegate.h"

// Reads a reader page's page selector (the drop-down of page numbers) and
// watches for the site's mature-content notice. Only the first select that
// looks like a page selector is read: sites put a chapter selector and a
// second copy of the page selector on the same page.
//
// Thread contract: made, fed by one HyperParser and read on one thread.
class SelectPagesParserDelegate : public HyperParserDelegate
{
public:
    // The option values of the page selector, exactly as written, in page order.
    const QStringList &pages() const { return pages_; }
    bool isMatureContent() const { return isMatureContent_; }

    static bool isPagesSelect(const HyperAttributes &attributes);

    void didStartElement(HyperParser &parser, QStringView name, const HyperAttributes &attributes) override;
    void didEndElement(HyperParser &parser, QStringView name) override;
    void foundCharacters(HyperParser &parser, QStringView text) override;

private:
    QStringList pages_;
    bool foundPagesSelect_ = false;
    bool processedPagesSelect_ = false;
    bool foundMatureContentSection_ = false;
    bool foundMatureContentParagraph_ = false;
    bool isMatureContent_ = false;
};
