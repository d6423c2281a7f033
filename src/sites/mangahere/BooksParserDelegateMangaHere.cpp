#include "sites/mangahere/BooksParserDelegateMangaHere.h"

#include "foundation/StringHelpers.h"

void BooksParserDelegateMangaHere::didStartElement(HyperParser &, QStringView name,
                                                   const HyperAttributes &attributes)
{
    if (name == u"div") {
        const QStringView cls = attributes.view("class");
        if (cls == u"list_manga" || cls == u"directory_list" || cls == u"result_search")
            foundListing = true;
        else if (cls == u"title")
            foundTitle = true;
        return;
    }
    if (!foundListing || name != u"a")
        return;
    if (foundTitle || contains(attributes.value("class"), QStringLiteral("manga_info"))) {
        currentHRef_ = attributes.value("href");
        foundChapterLink = true;
    }
}

void BooksParserDelegateMangaHere::didEndElement(HyperParser &, QStringView name)
{
    if (name == u"div")
        foundTitle = false;
}

void BooksParserDelegateMangaHere::foundCharacters(HyperParser &, QStringView text)
{
    if (!foundChapterLink)
        return;
    foundChapterLink = false;
    addBook(cleanTitle(titleFromText(text)));
}

QString BooksParserDelegateMangaHere::cleanTitle(const QString &title)
{
    QString t = title;
    t.replace(QStringLiteral("&#39;"), QStringLiteral("'"));
    t.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    t.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return t;
}
