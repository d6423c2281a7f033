#include "sites/mangahere/RecentChaptersParserDelegateMangaHere.h"

#include "foundation/StringHelpers.h"
#include "sites/ChapterPageText.h"
#include "sites/mangahere/URLParserMangaHere.h"

bool RecentChaptersParserDelegateMangaHere::opensSection(QStringView name,
                                                         const HyperAttributes &attributes) const
{
    return name == u"div" && attributes.value("class") == u"manga_updates";
}

bool RecentChaptersParserDelegateMangaHere::isChapterLink(const HyperAttributes &attributes) const
{
    return !attributes.value("title").isEmpty();
}

bool RecentChaptersParserDelegateMangaHere::isBookLink(const HyperAttributes &attributes) const
{
    return contains(attributes.value("class"), QStringLiteral("manga_info"));
}

bool RecentChaptersParserDelegateMangaHere::isDateCell(QStringView name,
                                                       const HyperAttributes &attributes) const
{
    return name == u"span" && attributes.value("class") == u"time";
}

void RecentChaptersParserDelegateMangaHere::sectionText(const QString &text)
{
    QString title = text.trimmed();
    title.remove(QStringLiteral("&nbsp;"));
    title.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    title.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    bookChapterDateRun(text, title, ChapterPageText::chapterFromURL<URLParserMangaHere>);
}
