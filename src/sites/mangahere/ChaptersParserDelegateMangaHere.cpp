#include "sites/mangahere/ChaptersParserDelegateMangaHere.h"

#include "sites/ChapterPageText.h"
#include "web/Regex.h"
#include "web/StringHelpers.h"
#include "sites/mangahere/URLParserMangaHere.h"

void ChaptersParserDelegateMangaHere::startElement(QStringView name, const HyperAttributes &attributes)
{
    if (!processedInformation_) {
        if (name == u"div" && attributes.value("class") == u"manga_detail") {
            foundInformationDiv_ = true;
        } else if (foundInformationDiv_) {
            if (name == u"img" && contains(attributes.value("src"), QStringLiteral("cover.jpg")))
                navBookInfo_.coverUrlString = attributes.value("src");
            else if (name == u"label")
                foundInformationKey_ = true;
            else if (name == u"p" && attributes.value("id") == u"show" && !navBookInfo_.rank.isNull())
                foundSummary_ = true;
        }
    }
    if (processedChapters_)
        return;
    if (name == u"div") {
        if (attributes.value("id") == u"commentArea") {
            // Comments link back to chapters; nothing from here on is a list entry.
            processedChapters_ = true;
            foundChaptersSection_ = false;
            currentHRef_.clear();
        } else if (attributes.value("class") == u"detail_list") {
            foundChaptersSection_ = true;
        }
    } else if (name == u"a" && foundChaptersSection_) {
        const QString href = attributes.value("href");
        if (contains(href, QStringLiteral("/manga")) &&
            contains(attributes.value("class"), QStringLiteral("color")) &&
            !isMatchedByRegex(href, QStringLiteral("/comments$")))
            currentHRef_ = href;
    }
}

void ChaptersParserDelegateMangaHere::characters(const QString &text)
{
    if (foundInformationDiv_ && !processedInformation_) {
        const QString trimmed = text.trimmed();
        if (foundSummary_) {
            navBookInfo_.summary = ChapterPageText::cleaned(trimmed);
            processedInformation_ = true;
        } else if (foundInformationKey_) {
            foundGenre_ = trimmed == u"Genre(s):";
            foundAuthor_ = trimmed == u"Author(s):";
            foundRank_ = trimmed == u"Rank:";
            foundInformationKey_ = false;
        } else if (foundGenre_ || foundAuthor_ || foundRank_) {
            if (foundGenre_)
                navBookInfo_.genre = trimmed;
            else if (foundAuthor_)
                navBookInfo_.author = trimmed;
            else
                navBookInfo_.rank = trimmed;
            foundGenre_ = foundAuthor_ = foundRank_ = false;
        }
    }
    if (foundChaptersSection_ && !currentHRef_.isEmpty()) {
        navChapters_.append(ChapterPageText::chapterFromURL<URLParserMangaHere>(currentHRef_));
        currentHRef_.clear();
    }
}
