#include "sites/onemanga/ChaptersParserDelegateOneManga.h"

#include "sites/ChapterPageText.h"
#include "sites/onemanga/URLParserOneManga.h"

void ChaptersParserDelegateOneManga::startElement(QStringView name, const HyperAttributes &attributes)
{
    if (name == u"h3" && !processedInformation_ && !foundSeriesInfoHeader_)
        checkHeader_ = true;
    else if (name == u"div" && attributes.value("class") == u"license-note")
        foundLicenseInfo_ = true;
    else if (name == u"img" && !foundCover_ && attributes.value("src").endsWith(u"logo.jpg")) {
        navBookInfo_.coverUrlString = attributes.value("src");
        foundCover_ = true;
    }
    if (processedChapters_)
        return;
    if (name == u"table" && attributes.value("class") == u"ch-table")
        foundChaptersTable_ = true;
    else if (name == u"td" && foundChaptersTable_ && attributes.value("class") == u"ch-subject")
        foundChaptersColumn_ = true;
    else if (name == u"a" && foundChaptersColumn_)
        currentHRef_ = attributes.value("href");
}

void ChaptersParserDelegateOneManga::endElement(QStringView name)
{
    if (name == u"div" && foundSeriesInfoHeader_ && !processedInformation_) {
        navBookInfo_.summary = currentInfo_;
        currentInfo_.clear();
        foundSeriesInfoHeader_ = false;
        processedInformation_ = true;
    }
    if (processedChapters_)
        return;
    if (name == u"td" && foundChaptersColumn_) {
        foundChaptersColumn_ = false;
        currentHRef_.clear();
    } else if (name == u"table" && foundChaptersTable_) {
        foundChaptersTable_ = false;
        processedChapters_ = true;
    }
}

void ChaptersParserDelegateOneManga::characters(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (checkHeader_) {
        checkHeader_ = false;
        // The header is matched as the page writes it, untrimmed.
        if (text.toLower() == u"series info") {
            foundSeriesInfoHeader_ = true;
            return;
        }
    }
    if (foundSeriesInfoHeader_)
        seriesInfoText(trimmed);
    if (foundLicenseInfo_) {
        navBookInfo_.license = trimmed;
        foundLicenseInfo_ = false;
    }
    if (foundChaptersColumn_ && !currentHRef_.isEmpty()) {
        NavChapter chapter = ChapterPageText::chapterFromURL<URLParserOneManga>(currentHRef_);
        navChapters_.append(NavChapter(text, currentHRef_, chapter.number()));
        currentHRef_.clear();
    }
}

void ChaptersParserDelegateOneManga::seriesInfoText(const QString &trimmed)
{
    // Each value stands after its own label, so a label closes the value
    // before it: "Categories:" ends the rank, "Author:" the categories, and
    // so on; what follows "Summary" runs to the end of the block.
    QString *field = nullptr;
    bool isLabel = true;
    if (trimmed == u"Categories:")
        field = &navBookInfo_.rank;
    else if (trimmed == u"Author:")
        field = &navBookInfo_.genre;
    else if (trimmed == u"Artist:")
        field = &navBookInfo_.author;
    else if (trimmed == u"Chapters:")
        field = &navBookInfo_.artist;
    else if (trimmed != u"Title:" && trimmed != u"Alternate Title:" && trimmed != u"OM Rank:" &&
             trimmed != u"Summary")
        isLabel = false;
    if (!isLabel) {
        ChapterPageText::appendInfoRun(currentInfo_, trimmed);
        return;
    }
    if (field)
        *field = currentInfo_;
    currentInfo_.clear();
}
