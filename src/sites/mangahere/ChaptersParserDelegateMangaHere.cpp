#include "sites/mangahere/ChaptersParserDelegateMangaHere.h"

#include "sites/ChapterPageText.h"
#include "foundation/Regex.h"
#include "foundation/StringHelpers.h"
#include "sites/mangahere/URLParserMangaHere.h"

void ChaptersParserDelegateMangaHere::startElement(QStringView name, const HyperAttributes &attributes)
{
    if (details_ != Part::Done) {
        if (name == u"div" && attributes.value("class") == u"manga_detail") {
            details_ = Part::Inside;
        } else if (details_ == Part::Inside) {
            if (name == u"img" && contains(attributes.value("src"), QStringLiteral("cover.jpg")))
                navBookInfo_.coverUrlString = attributes.value("src");
            else if (name == u"label")
                foundInformationKey_ = true;
            else if (name == u"p" && attributes.value("id") == u"show" && !navBookInfo_.rank.isNull())
                foundSummary_ = true;
        }
    }
    if (chapters_ == Part::Done)
        return;
    if (name == u"div") {
        if (attributes.value("id") == u"commentArea") {
            // Comments link back to chapters; nothing from here on is a list entry.
            chapters_ = Part::Done;
            currentHRef_.clear();
        } else if (attributes.value("class") == u"detail_list") {
            chapters_ = Part::Inside;
        }
    } else if (name == u"a" && chapters_ == Part::Inside) {
        const QString href = attributes.value("href");
        if (contains(href, QStringLiteral("/manga")) &&
            contains(attributes.value("class"), QStringLiteral("color")) &&
            !isMatchedByRegex(href, QStringLiteral("/comments$")))
            currentHRef_ = href;
    }
}

void ChaptersParserDelegateMangaHere::characters(const QString &text)
{
    if (details_ == Part::Inside) {
        const QString trimmed = text.trimmed();
        if (foundSummary_) {
            navBookInfo_.summary = ChapterPageText::cleaned(trimmed);
            details_ = Part::Done;
        } else if (foundInformationKey_) {
            field_ = trimmed == u"Genre(s):"    ? Field::Genre
                     : trimmed == u"Author(s):" ? Field::Author
                     : trimmed == u"Rank:"      ? Field::Rank
                                                : Field::None;
            foundInformationKey_ = false;
        } else if (field_ != Field::None) {
            if (field_ == Field::Genre)
                navBookInfo_.genre = trimmed;
            else if (field_ == Field::Author)
                navBookInfo_.author = trimmed;
            else
                navBookInfo_.rank = trimmed;
            field_ = Field::None;
        }
    }
    if (chapters_ == Part::Inside && !currentHRef_.isEmpty()) {
        navChapters_.append(ChapterPageText::chapterFromURL<URLParserMangaHere>(currentHRef_));
        currentHRef_.clear();
    }
}
