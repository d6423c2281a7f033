#include "sites/mangafox/BooksParserDelegateMangaFox.h"

#include "files/UrlStringJoins.h"
#include "foundation/StringHelpers.h"

void BooksParserDelegateMangaFox::didStartElement(HyperParser &, QStringView name,
                                                  const HyperAttributes &attributes)
{
    if (!foundListing) {
        if ((name == u"table" && attributes.view("id") == u"listing") ||
            (name == u"div" && attributes.view("id") == u"mangalist"))
            foundListing = true;
        return;
    }
    if (name != u"a")
        return;
    const QString href = attributes.value("href");
    static const QStringList bookClasses{QStringLiteral("manga_close"), QStringLiteral("manga_open"),
                                         QStringLiteral("title")};
    if (!contains(href, QStringLiteral("manga")) || !containsOneOf(attributes.value("class"), bookClasses))
        return;
    currentHRef_ =
        appendNoWarning ? urlStringByAppendingPathComponent(href, QStringLiteral("?no_warning=1")) : href;
    foundChapterLink = true;
}

void BooksParserDelegateMangaFox::foundCharacters(HyperParser &, QStringView text)
{
    if (!foundChapterLink)
        return;
    foundChapterLink = false;
    addBook(titleFromText(text));
}
