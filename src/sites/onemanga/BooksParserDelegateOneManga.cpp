#include "sites/onemanga/BooksParserDelegateOneManga.h"

#include "foundation/Regex.h"

void BooksParserDelegateOneManga::didStartElement(HyperParser &, QStringView name,
                                                  const HyperAttributes &attributes)
{
    if (name == u"td" && attributes.view("class") == u"ch-subject") {
        foundColumn = true;
        return;
    }
    if (!foundColumn)
        return;
    if (name == u"a") {
        // Book pages are "/Name/"; chapter and other links have more parts.
        const QString href = attributes.value("href");
        if (href.split(u'/').size() == 3)
            currentHRef_ = href;
    } else if (name == u"span" && nextIsRank) {
        nextIsRank = false;
        foundRank = true;
    }
}

void BooksParserDelegateOneManga::didEndElement(HyperParser &, QStringView name)
{
    if (name == u"td") {
        foundColumn = false;
        nextIsRank = false;
    }
}

void BooksParserDelegateOneManga::foundCharacters(HyperParser &, QStringView text)
{
    if (foundRank) {
        foundRank = false;
        if (!navBooks_.isEmpty())
            navBooks_.last().setRank(
                stringByReplacingOccurrencesOfRegex(text.toString(), QStringLiteral("\\(|\\)"), {}));
        return;
    }
    if (currentHRef_.isEmpty())
        return;
    QString title = titleFromText(text);
    title.replace(QStringLiteral("&#39;"), QStringLiteral("'"));
    title.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    addBook(title);
    nextIsRank = true;
}
