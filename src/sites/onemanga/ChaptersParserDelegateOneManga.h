#pragma once

#include "sites/ChaptersParserDelegate.h"

// A OneManga book page: the "Series Info" block, whose values stand between
// their labels, the licence note, the cover and the chapter table.
class ChaptersParserDelegateOneManga : public ChaptersParserDelegate
{
protected:
    void startElement(QStringView name, const HyperAttributes &attributes) override;
    void endElement(QStringView name) override;
    void characters(const QString &text) override;

private:
    void seriesInfoText(const QString &trimmed);

    bool foundChaptersColumn_ = false;
    bool foundChaptersTable_ = false;
    bool foundSeriesInfoHeader_ = false;
    bool checkHeader_ = false;
    bool foundLicenseInfo_ = false;
    bool foundCover_ = false;
    bool processedInformation_ = false;
    bool processedChapters_ = false;
};
