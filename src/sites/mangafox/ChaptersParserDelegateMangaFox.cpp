#include "sites/mangafox/ChaptersParserDelegateMangaFox.h"

#include "sites/ChapterPageText.h"
#include "foundation/StringHelpers.h"
#include "sites/mangafox/URLParserMangaFox.h"

void ChaptersParserDelegateMangaFox::startElement(QStringView name, const HyperAttributes &attributes)
{
    if (infoDiv_ == Part::Ahead && name == u"div" &&
        contains(attributes.value("class"), QStringLiteral("data")))
        infoDiv_ = Part::Inside;
    else if (infoDiv_ == Part::Inside)
        infoDivStart(name);
    if (infoTable_ != Part::Done)
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
    if (infoDiv_ == Part::Inside && infoDivValue_ && name == u"span") {
        if (divField_ == DivField::Status)
            navBookInfo_.status = infoDivText_;
        if (divField_ == DivField::Rank) {
            navBookInfo_.rank = infoDivText_;
            infoDiv_ = Part::Done;
        }
        infoDivText_.clear();
        infoDivValue_ = false;
    }
    if (infoTable_ == Part::Inside)
        infoTableEnd(name);
    chaptersEnd(name);
}

void ChaptersParserDelegateMangaFox::characters(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (infoDiv_ == Part::Inside)
        infoDivText(trimmed);
    if (infoTable_ == Part::Inside)
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
        divField_ = trimmed == u"Status:" ? DivField::Status
                    : trimmed == u"Rank:" ? DivField::Rank
                                          : DivField::None;
        infoDivKey_ = false;
    } else if (infoDivValue_ && divField_ != DivField::None) {
        ChapterPageText::appendInfoRun(infoDivText_, trimmed);
    }
}

void ChaptersParserDelegateMangaFox::infoTableStart(QStringView name, const HyperAttributes &attributes)
{
    if (infoTable_ == Part::Ahead) {
        if (name == u"table")
            infoTable_ = Part::Inside;
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
        infoTable_ = Part::Done;
    }
}

void ChaptersParserDelegateMangaFox::chaptersStart(QStringView name, const HyperAttributes &attributes)
{
    if (chapterList_ == ChapterList::None) {
        if (name != u"ul" && name != u"table")
            return;
        if (attributes.value("name") == u"chlist" || attributes.value("class") == u"chlist")
            chapterList_ = ChapterList::ChList;
        else if (attributes.value("id") == u"listing")
            chapterList_ = ChapterList::Listing;
        return;
    }
    if (name == u"a") {
        const QString href = attributes.value("href");
        if (contains(href, QStringLiteral("/manga/")) && !attributes.value("title").isEmpty())
            currentHRef_ = href;
    } else if (name == u"span" && chapterList_ == ChapterList::ChList && chapterName_ != ChapterName::None &&
               contains(attributes.value("class"), QStringLiteral("title"))) {
        chapterName_ = ChapterName::InSpan;
    }
}

void ChaptersParserDelegateMangaFox::chaptersEnd(QStringView name)
{
    // A volume's list closes; the next volume's list opens it again.
    if (chapterList_ != ChapterList::None &&
        name == (chapterList_ == ChapterList::ChList ? QStringView(u"ul") : QStringView(u"table"))) {
        chapterList_ = ChapterList::None;
        currentHRef_.clear();
        chapterName_ = ChapterName::None;
    }
}

void ChaptersParserDelegateMangaFox::chaptersText(const QString &text)
{
    if (chapterList_ == ChapterList::None)
        return;
    if (!currentHRef_.isEmpty()) {
        navChapters_.append(ChapterPageText::chapterFromURL<URLParserMangaFox>(currentHRef_));
        currentHRef_.clear();
        chapterName_ = ChapterName::Awaited;
        return;
    }
    const bool newLayout = chapterList_ == ChapterList::ChList;
    if (chapterName_ == ChapterName::None || (newLayout && chapterName_ != ChapterName::InSpan))
        return;
    // Only this one run may name the chapter, empty or not.
    const QString chapterName = text.trimmed();
    if (!chapterName.isEmpty()) {
        NavChapter &chapter = navChapters_.last();
        const QString separator = newLayout ? QStringLiteral(": ") : QStringLiteral(" ");
        chapter.setTitle(chapter.title() + separator + ChapterPageText::cleaned(chapterName));
    }
    chapterName_ = ChapterName::None;
}
