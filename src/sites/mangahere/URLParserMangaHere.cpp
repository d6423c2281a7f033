#include "sites/mangahere/URLParserMangaHere.h"

// The same address forms as MangaFox: "/book/vVOL/cCHAP/" or "/book/cCHAP/",
// with or without the first reader page's "1.html".
void URLParserMangaHere::parse()
{
    if (!matchPattern(QStringLiteral("/([^/]+)/v([^/]+)/c([^/]+)/(?:1.html)?$"), 4, true))
        matchPattern(QStringLiteral("/([^/]+)/c([^/]+)/(?:1.html)?$"), 3, false);
}

Decimal URLParserMangaHere::adjustedChapterNumber() const
{
    return volumeAdjustedNumber();
}
