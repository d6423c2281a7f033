#pragma once

#include <QString>

#include "web/HyperParserDelegate.h"

// Finds the "Begin reading" link on a OneManga chapter cover page: the
// catalogue's chapter addresses lead there, not to the first reader page.
//
// Thread contract: made, fed by one HyperParser and read on one thread.
class OneMangaPrePageParserDelegate : public HyperParserDelegate
{
public:
    // The link found (the last one when several qualify); null until found.
    const QString &firstPageURLString() const { return firstPageURLString_; }

    static bool isFirstPageLink(QStringView text);

    void didStartElement(HyperParser &parser, QStringView name, const HyperAttributes &attributes) override;
    void foundCharacters(HyperParser &parser, QStringView text) override;

private:
    QString currentHRef_;
    QString firstPageURLString_;
};
