#include "sites/mangareader/URLParserMangaReader.h"

// Old addresses end in "/book/chapter-N.html", newer ones in "/book/N".
void URLParserMangaReader::parse()
{
    if (!matchPattern(QStringLiteral("/([^/]+)/chapter-(\\d+)\\.html$"), 3, false))
        matchPattern(QStringLiteral("/([^/]+)/(\\d+)$"), 3, false);
}

Decimal URLParserMangaReader::adjustedChapterNumber() const
{
    const Decimal chapter = Decimal::fromString(chapter_);
    return chapter_.isNull() || chapter.isNaN() ? Decimal::zero() : chapter;
}
