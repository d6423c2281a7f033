#pragma once

#include "web/URLParser.h"

class URLParserMangaReader : public URLParser
{
public:
    Decimal adjustedChapterNumber() const override;

protected:
    void parse() override;
};
