#include "sites/mangareader/RecentChaptersParserDelegateMangaReader.h"

#include "sites/ChapterPageText.h"
#include "sites/mangareader/URLParserMangaReader.h"

bool RecentChaptersParserDelegateMangaReader::opensSection(QStringView name,
                                                           const HyperAttributes &attributes) const
{
    return name == u"table" && attributes.value("class") == u"updates";
}

bool RecentChaptersParserDelegateMangaReader::isChapterLink(const HyperAttributes &attributes) const
{
    return attributes.value("class") == u"chaptersrec";
}

bool RecentChaptersParserDelegateMangaReader::isBookLink(const HyperAttributes &attributes) const
{
    return attributes.value("class") == u"chapter";
}

bool RecentChaptersParserDelegateMangaReader::isDateCell(QStringView name,
                                                         const HyperAttributes &attributes) const
{
    return name == u"td" && attributes.value("class") == u"c1";
}

void RecentChaptersParserDelegateMangaReader::sectionText(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (isBookLink_) {
        currentNavBook_ = NavBook(trimmed, QString());
        isBookLink_ = false;
    }
    if (isChapterLink_) {
        NavChapter chapter = ChapterPageText::chapterFromURL<URLParserMangaReader>(currentHRef_);
        currentNavChapters_.append(NavChapter(trimmed, currentHRef_, chapter.number()));
        currentHRef_.clear();
        isChapterLink_ = false;
    }
    if (isDateColumn_) {
        currentDate_ = trimmed;
        for (const NavChapter &waiting : std::as_const(currentNavChapters_))
            addRelease(waiting, QStringLiteral(""));
        currentNavChapters_.clear();
        isDateColumn_ = false;
    }
}
