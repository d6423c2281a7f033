#include "sites/mangafox/URLParserMangaFox.h"

// Addresses end in "/book/vVOL/cCHAP/" or "/book/cCHAP/", with or without
// the first reader page's "1.html".
void URLParserMangaFox::parse()
{
    if (!matchPattern(QStringLiteral("/([^/]+)/v([^/]+)/c([^/]+)/(?:1.html)?$"), 4, true))
        matchPattern(QStringLiteral("/([^/]+)/c([^/]+)/(?:1.html)?$"), 3, false);
}

Decimal URLParserMangaFox::adjustedChapterNumber() const
{
    return volumeAdjustedNumber();
}
