#include "sites/onemanga/URLParserOneManga.h"

// Addresses end in "/book/chapter/"; the trailing slash is required.
void URLParserOneManga::parse()
{
    matchPattern(QStringLiteral("/+([^/]+)/+([^/]+)/$"), 3, false);
}

// No fallback to 0: a chapter that is not a number sorts as not-a-number.
Decimal URLParserOneManga::adjustedChapterNumber() const
{
    return Decimal::fromString(chapter_);
}
