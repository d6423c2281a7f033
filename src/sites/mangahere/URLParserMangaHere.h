#pragma once

#include "web/URLParser.h"

class URLParserMangaHere : public URLParser
{
public:
    Decimal adjustedChapterNumber() const override;

protected:
    void parse() override;
};
