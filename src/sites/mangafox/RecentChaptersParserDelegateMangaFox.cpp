#include "sites/mangafox/RecentChaptersParserDelegateMangaFox.h"

#include "foundation/StringHelpers.h"
#include "sites/ChapterPageText.h"
#include "sites/mangafox/URLParserMangaFox.h"

bool RecentChaptersParserDelegateMangaFox::opensSection(QStringView name,
                                                        const HyperAttributes &attributes) const
{
    return name == u"ul" && attributes.value("id") == u"updates";
}

bool RecentChaptersParserDelegateMangaFox::isChapterLink(const HyperAttributes &attributes) const
{
    return attributes.value("class") == u"chapter";
}

bool RecentChaptersParserDelegateMangaFox::isBookLink(const HyperAttributes &attributes) const
{
    return containsOneOf(attributes.value("class"),
                         {QStringLiteral("manga_open"), QStringLiteral("manga_close")});
}

bool RecentChaptersParserDelegateMangaFox::isDateCell(QStringView name, const HyperAttributes &) const
{
    return name == u"em";
}

void RecentChaptersParserDelegateMangaFox::sectionText(const QString &text)
{
    bookChapterDateRun(text, text.trimmed(), ChapterPageText::chapterFromURL<URLParserMangaFox>);
}
