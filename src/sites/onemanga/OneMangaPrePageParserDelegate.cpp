#include "sites/onemanga/OneMangaPrePageParserDelegate.h"

#include "foundation/StringHelpers.h"

bool OneMangaPrePageParserDelegate::isFirstPageLink(QStringView text)
{
    return contains(text.toString(), QStringLiteral("Begin reading"));
}

void OneMangaPrePageParserDelegate::didStartElement(HyperParser &, QStringView name,
                                                    const HyperAttributes &attributes)
{
    if (name != u"a")
        return;
    const QStringView href = attributes.view("href");
    if (!href.isNull())
        currentHRef_ = href.toString();
}

void OneMangaPrePageParserDelegate::foundCharacters(HyperParser &, QStringView text)
{
    if (currentHRef_.isEmpty())
        return;
    // Only the first text after a link's start tag names the link.
    if (isFirstPageLink(text))
        firstPageURLString_ = currentHRef_;
    currentHRef_.clear();
}
