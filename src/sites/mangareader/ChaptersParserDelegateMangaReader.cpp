#include "sites/mangareader/ChaptersParserDelegateMangaReader.h"

#include "sites/ChapterPageText.h"
#include "web/Regex.h"
#include "sites/mangareader/URLParserMangaReader.h"

void ChaptersParserDelegateMangaReader::startElement(QStringView name, const HyperAttributes &attributes)
{
    if (!processedInformation_) {
        if (name == u"div" && attributes.value("id") == u"mangaimg")
            foundInformationImage_ = true;
        else if (name == u"img" && foundInformationImage_)
            navBookInfo_.coverUrlString = attributes.value("src");
        else if (name == u"div" && attributes.value("id") == u"mangaproperties")
            foundInformationDiv_ = true;
        else if (name == u"td" && foundInformationDiv_) {
            if (attributes.value("class") == u"propertytitle") {
                foundInformationHeader_ = true;
                labelSeen_ = true;
                foundAuthor_ = false;
                foundGenre_ = false;
            } else if (labelSeen_) {
                foundInformationHeader_ = false;
                labelSeen_ = false;
                foundInformationContent_ = true;
            }
        }
    }
    if (processedChapters_)
        return;
    if (name == u"table" && attributes.value("id") == u"listing") {
        foundChaptersTable_ = true;
    } else if (name == u"a" && foundChaptersTable_) {
        currentHRef_ = attributes.value("href");
        currentTitle_.clear();
    }
}

void ChaptersParserDelegateMangaReader::endElement(QStringView name)
{
    if (name == u"td" && foundInformationContent_ && !processedInformation_) {
        if (foundAuthor_)
            navBookInfo_.author = currentInfo_;
        if (foundGenre_) {
            navBookInfo_.genre = currentInfo_.trimmed();
            processedInformation_ = true;
        }
        currentInfo_.clear();
        foundInformationContent_ = false;
        foundAuthor_ = false;
        foundGenre_ = false;
    }
    if (!foundChaptersTable_ || processedChapters_)
        return;
    if (name == u"td" && !currentHRef_.isEmpty()) {
        const QString label =
            stringByReplacingOccurrencesOfRegex(currentTitle_, QStringLiteral(":$"), QString());
        NavChapter chapter = ChapterPageText::chapterFromURL<URLParserMangaReader>(currentHRef_);
        navChapters_.append(NavChapter(ChapterPageText::cleaned(label), currentHRef_, chapter.number()));
        currentHRef_.clear();
        currentTitle_.clear();
    } else if (name == u"table") {
        foundChaptersTable_ = false;
        processedChapters_ = true;
    }
}

void ChaptersParserDelegateMangaReader::characters(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (!processedInformation_) {
        if (foundInformationHeader_) {
            foundAuthor_ = trimmed == u"Author:";
            foundGenre_ = trimmed == u"Genre:";
            foundInformationHeader_ = false;
        } else if (foundInformationContent_ && (foundAuthor_ || foundGenre_)) {
            currentInfo_ += trimmed + u' ';
        }
    }
    if (foundChaptersTable_ && !processedChapters_ && !currentHRef_.isEmpty())
        currentTitle_ += trimmed;
}
