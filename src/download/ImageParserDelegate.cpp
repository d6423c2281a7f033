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
    return isMangaFoxImageWithSource(src) || isMangaReaderImageWithSource(src) || isMangaHereImageWithSource(src);
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
        if (isMangaImageWithSource(src))
            images_.append(ImageElement(src, QString(), 0, 0, startLink_ ? currentHRef_ : QString()));
    }
}

void ImageParserDelegate::didEndElement(HyperParser &, QStringView name)
{
    if (name == u"a") {
        startLink_ = false;
        currentHRef_.clear();
    }
}
