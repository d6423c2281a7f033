#pragma once

#include "web/URLParser.h"

class URLParserMangaFox : public URLParser
{
public:
    Decimal adjustedChapterNumber() const override;

protected:
    void parse() override;
};
