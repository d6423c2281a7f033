#include "sites/mangafox/ChaptersParserDelegateMangaFox.h"

#include "sites/ChapterPageText.h"
#include "web/StringHelpers.h"
#include "sites/mangafox/URLParserMangaFox.h"

void ChaptersParserDelegateMangaFox::startElement(QStringView name, const HyperAttributes &attributes)
{
    if (!processedInfoDiv_) {
        if (!foundInfoDiv_ && name == u"div" && contains(attributes.value("class"), QStringLiteral("data")))
            foundInfoDiv_ = true;
        else if (foundInfoDiv_)
            infoDivStart(name);
    }
    if (!processedInfoTable_)
        infoTableStart(name, attributes);
    if (!foundCover_ && name == u"img") {
        const QString src = attributes.value("src");
        if (contains(src, QStringLiteral("cover.jpg"))) {
            navBookInfo_.coverUrlString = src;
            foundCover_ = true;
        }
    }
    chaptersStart(name, attributes);
}

void ChaptersParserDelegateMangaFox::endElement(QStringView name)
{
    if (foundInfoDiv_ && !processedInfoDiv_ && infoDivValue_ && name == u"span") {
        if (foundStatus_)
            navBookInfo_.status = infoDivText_;
        if (foundRank_) {
            navBookInfo_.rank = infoDivText_;
            processedInfoDiv_ = true;
        }
        infoDivText_.clear();
        infoDivValue_ = false;
    }
    if (foundInfoTable_ && !processedInfoTable_)
        infoTableEnd(name);
    chaptersEnd(name);
}

void ChaptersParserDelegateMangaFox::characters(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (foundInfoDiv_ && !processedInfoDiv_)
        infoDivText(trimmed);
    if (foundInfoTable_ && !processedInfoTable_)
        infoTableText(trimmed);
    chaptersText(text);
}

void ChaptersParserDelegateMangaFox::infoDivStart(QStringView name)
{
    if (name == u"h5")
        infoDivKey_ = true;
    else if (name == u"span")
        infoDivValue_ = true;
}

void ChaptersParserDelegateMangaFox::infoDivText(const QString &trimmed)
{
    if (infoDivKey_) {
        // A label picks what the following value is; any other label
        // (the rating, say) picks nothing.
        foundStatus_ = trimmed == u"Status:";
        foundRank_ = trimmed == u"Rank:";
        infoDivKey_ = false;
    } else if (infoDivValue_ && (foundStatus_ || foundRank_)) {
        ChapterPageText::appendInfoRun(infoDivText_, trimmed);
    }
}

void ChaptersParserDelegateMangaFox::infoTableStart(QStringView name, const HyperAttributes &attributes)
{
    if (!foundInfoTable_) {
        foundInfoTable_ = name == u"table";
        return;
    }
    if (name == u"th")
        foundInfoKey_ = true;
    else if (name == u"td")
        foundInfoValue_ = true;
    if (attributes.value("class") == u"summary")
        foundSummary_ = true;
}

void ChaptersParserDelegateMangaFox::infoTableText(const QString &trimmed)
{
    if (foundInfoKey_) {
        // The labels of one header row all come before their values, so a
        // label only adds to what is selected; each value then takes the
        // first field still waiting.
        if (trimmed == u"Released:")
            foundReleaseDate_ = true;
        else if (trimmed == u"Author(s):")
            foundAuthor_ = true;
        else if (trimmed == u"Artist(s):")
            foundArtist_ = true;
        else if (trimmed == u"Genre(s):")
            foundGenre_ = true;
        foundInfoKey_ = false;
    } else if (foundInfoValue_ && (foundReleaseDate_ || foundAuthor_ || foundArtist_ || foundGenre_)) {
        ChapterPageText::appendInfoRun(currentInfo_, trimmed);
    }
    if (foundSummary_ && !trimmed.isEmpty())
        summaryText_ += trimmed + u'\n';
}

void ChaptersParserDelegateMangaFox::infoTableEnd(QStringView name)
{
    if (name == u"td" && foundInfoValue_) {
        if (foundReleaseDate_) {
            navBookInfo_.releaseDate = currentInfo_;
            foundReleaseDate_ = false;
        } else if (foundAuthor_) {
            navBookInfo_.author = currentInfo_;
            foundAuthor_ = false;
        } else if (foundArtist_) {
            navBookInfo_.artist = currentInfo_;
            foundArtist_ = false;
        } else if (foundGenre_) {
            navBookInfo_.genre = currentInfo_;
            foundGenre_ = false;
        }
        currentInfo_.clear();
        foundInfoValue_ = false;
    } else if (name == u"p" && foundSummary_) {
        navBookInfo_.summary = summaryText_;
        processedInfoTable_ = true;
    }
}

void ChaptersParserDelegateMangaFox::chaptersStart(QStringView name, const HyperAttributes &attributes)
{
    if (!foundChaptersSection_) {
        if (name != u"ul" && name != u"table")
            return;
        if (attributes.value("name") == u"chlist" || attributes.value("class") == u"chlist") {
            foundChaptersSection_ = true;
            newVersion_ = true;
        } else if (attributes.value("id") == u"listing") {
            foundChaptersSection_ = true;
            newVersion_ = false;
        }
        return;
    }
    if (name == u"a") {
        const QString href = attributes.value("href");
        if (contains(href, QStringLiteral("/manga/")) && !attributes.value("title").isEmpty())
            currentHRef_ = href;
    } else if (name == u"span" && newVersion_ && addedChapter_ &&
               contains(attributes.value("class"), QStringLiteral("title"))) {
        foundDetail_ = true;
    }
}

void ChaptersParserDelegateMangaFox::chaptersEnd(QStringView name)
{
    // A volume's list closes; the next volume's list opens it again.
    if (foundChaptersSection_ && name == (newVersion_ ? QStringView(u"ul") : QStringView(u"table"))) {
        foundChaptersSection_ = false;
        currentHRef_.clear();
        addedChapter_ = false;
        foundDetail_ = false;
    }
}

void ChaptersParserDelegateMangaFox::chaptersText(const QString &text)
{
    if (!foundChaptersSection_)
        return;
    if (!currentHRef_.isEmpty()) {
        navChapters_.append(ChapterPageText::chapterFromURL<URLParserMangaFox>(currentHRef_));
        currentHRef_.clear();
        addedChapter_ = true;
        foundDetail_ = false;
        return;
    }
    if (!addedChapter_ || (newVersion_ && !foundDetail_))
        return;
    // Only this one run may name the chapter, empty or not.
    const QString chapterName = text.trimmed();
    if (!chapterName.isEmpty()) {
        NavChapter &chapter = navChapters_.last();
        const QString separator = newVersion_ ? QStringLiteral(": ") : QStringLiteral(" ");
        chapter.setTitle(chapter.title() + separator + ChapterPageText::cleaned(chapterName));
    }
    addedChapter_ = false;
    foundDetail_ = false;
}
