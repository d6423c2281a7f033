#pragma once

#include "web/URLParser.h"

class URLParserOneManga : public URLParser
{
public:
    Decimal adjustedChapterNumber() const override;

protected:
    void parse() override;
};
