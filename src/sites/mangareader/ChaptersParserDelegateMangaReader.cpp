#include "sites/mangareader/ChaptersParserDelegateMangaReader.h"

#include "sites/ChapterPageText.h"
#include "foundation/Regex.h"
#include "sites/mangareader/URLParserMangaReader.h"

void ChaptersParserDelegateMangaReader::startElement(QStringView name, const HyperAttributes &attributes)
{
    if (properties_ != Part::Done) {
        if (name == u"div" && attributes.value("id") == u"mangaimg")
            foundInformationImage_ = true;
        else if (name == u"img" && foundInformationImage_)
            navBookInfo_.coverUrlString = attributes.value("src");
        else if (name == u"div" && attributes.value("id") == u"mangaproperties")
            properties_ = Part::Inside;
        else if (name == u"td" && properties_ == Part::Inside) {
            if (attributes.value("class") == u"propertytitle") {
                foundInformationHeader_ = true;
                labelSeen_ = true;
                field_ = Field::None;
            } else if (labelSeen_) {
                foundInformationHeader_ = false;
                labelSeen_ = false;
                foundInformationContent_ = true;
            }
        }
    }
    if (chapters_ == Part::Done)
        return;
    if (name == u"table" && attributes.value("id") == u"listing") {
        chapters_ = Part::Inside;
    } else if (name == u"a" && chapters_ == Part::Inside) {
        currentHRef_ = attributes.value("href");
        currentTitle_.clear();
    }
}

void ChaptersParserDelegateMangaReader::endElement(QStringView name)
{
    if (name == u"td" && foundInformationContent_ && properties_ != Part::Done) {
        if (field_ == Field::Author)
            navBookInfo_.author = currentInfo_;
        if (field_ == Field::Genre) {
            navBookInfo_.genre = currentInfo_.trimmed();
            properties_ = Part::Done;
        }
        currentInfo_.clear();
        foundInformationContent_ = false;
        field_ = Field::None;
    }
    if (chapters_ != Part::Inside)
        return;
    if (name == u"td" && !currentHRef_.isEmpty()) {
        const QString label =
            stringByReplacingOccurrencesOfRegex(currentTitle_, QStringLiteral(":$"), QString());
        NavChapter chapter = ChapterPageText::chapterFromURL<URLParserMangaReader>(currentHRef_);
        navChapters_.append(NavChapter(ChapterPageText::cleaned(label), currentHRef_, chapter.number()));
        currentHRef_.clear();
        currentTitle_.clear();
    } else if (name == u"table") {
        chapters_ = Part::Done;
    }
}

void ChaptersParserDelegateMangaReader::characters(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (properties_ != Part::Done) {
        if (foundInformationHeader_) {
            field_ = trimmed == u"Author:"  ? Field::Author
                     : trimmed == u"Genre:" ? Field::Genre
                                            : Field::None;
            foundInformationHeader_ = false;
        } else if (foundInformationContent_ && field_ != Field::None) {
            currentInfo_ += trimmed + u' ';
        }
    }
    if (chapters_ == Part::Inside && !currentHRef_.isEmpty())
        currentTitle_ += trimmed;
}
