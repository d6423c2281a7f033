#include "download/ImageParserDelegate.h"

#include "sites/SiteConfig.h"
#include "web/Regex.h"
#include "web/StringHelpers.h"

ImageParserDelegate::ImageParserDelegate(const QString &rootPath)
    : rootPath_(rootPath), mangaFoxStore_(SiteConfig::mangaFoxImageHost() + u"/store/"),
      // The host goes in unescaped: its dots match any character, which also
      // lets numbered image servers through.
      mangaReaderPattern_(SiteConfig::mangaReaderImageHost() + u"/[^/]+/[^/]+/.+?.jpg$")
{}

bool ImageParserDelegate::isMangaImageWithSource(const QString &src) const
{
    if (src.isNull())
        return false;
    return isMangaFoxImageWithSource(src) || isMangaReaderImageWithSource(src) ||
           isMangaHereImageWithSource(src);
}

bool ImageParserDelegate::isMangaFoxImageWithSource(const QString &src) const
{
    return contains(src, mangaFoxStore_) || contains(src, QStringLiteral("/store/manga")) ||
           isMangaHereImageWithSource(src);
}

bool ImageParserDelegate::isMangaReaderImageWithSource(const QString &src) const
{
    return isMatchedByRegex(src, mangaReaderPattern_);
}

bool ImageParserDelegate::isMangaHereImageWithSource(const QString &src)
{
    return contains(src, QStringLiteral("manga")) && contains(src, QStringLiteral("compressed"));
}

void ImageParserDelegate::didStartElement(HyperParser &, QStringView name, const HyperAttributes &attributes)
{
    if (name == u"a") {
        startLink_ = true;
        // A link without an address keeps the one before it.
        const QStringView href = attributes.view("href");
        if (!href.isNull())
            currentHRef_ = href.toString();
        return;
    }
    if (name == u"img") {
        const QString src = attributes.value("src");
        if (!isMangaImageWithSource(src))
            return;
        // Inside a link the image gets its address, empty rather than null
        // when the link has none: only an image outside links has no link.
        QString parentLink;
        if (startLink_)
            parentLink = currentHRef_.isNull() ? QStringLiteral("") : currentHRef_;
        images_.append(ImageElement(src, QString(), 0, 0, parentLink));
    }
}

void ImageParserDelegate::didEndElement(HyperParser &, QStringView name)
{
    if (name == u"a") {
        startLink_ = false;
        currentHRef_.clear();
    }
}
