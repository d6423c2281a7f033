#include "deduction/ImageParserDelegate.h"

#include "sites/SiteConfig.h"
#include "foundation/Regex.h"

namespace {

// Every tag of a page comes through here, most of them neither "a" nor
// "img": a length test settles almost all of them without a string compare.
bool isLink(QStringView name)
{
    return name.size() == 1 && name[0] == u'a';
}

bool isImage(QStringView name)
{
    return name.size() == 3 && name == u"img";
}

} // namespace

ImageParserDelegate::ImageParserDelegate(const QString &rootPath)
    : rootPath_(rootPath), mangaFoxStore_((SiteConfig::mangaFoxImageHost() + u"/store/").toLower()),
      // The host goes in unescaped: its dots match any character, which also
      // lets numbered image servers through.
      mangaReaderPattern_(SiteConfig::mangaReaderImageHost() + u"/[^/]+/[^/]+/.+?.jpg$")
{}

// The containment tests ignore case: they search the lower-cased source for
// lower-cased words, and a page's images share one lower-cased copy.
bool ImageParserDelegate::isMangaFoxLower(const QString &lower) const
{
    return lower.contains(mangaFoxStore_) || lower.contains(u"/store/manga") || isMangaHereLower(lower);
}

bool ImageParserDelegate::isMangaHereLower(const QString &lower)
{
    return lower.contains(u"manga") && lower.contains(u"compressed");
}

bool ImageParserDelegate::isMangaImageWithSource(const QString &src) const
{
    if (src.isNull())
        return false;
    // The three tests are independent, so the regular expression, by far the
    // dearest, goes last.
    const QString lower = src.toLower();
    return isMangaFoxLower(lower) || isMangaHereLower(lower) || isMangaReaderImageWithSource(src);
}

bool ImageParserDelegate::isMangaFoxImageWithSource(const QString &src) const
{
    return isMangaFoxLower(src.toLower());
}

bool ImageParserDelegate::isMangaReaderImageWithSource(const QString &src) const
{
    // Nothing can match without "jpg" (the pattern ends in ".jpg$"): most
    // images of a page are settled without running the expression.
    return src.contains(u"jpg") && isMatchedByRegex(src, mangaReaderPattern_);
}

bool ImageParserDelegate::isMangaHereImageWithSource(const QString &src)
{
    return isMangaHereLower(src.toLower());
}

void ImageParserDelegate::didStartElement(HyperParser &, QStringView name, const HyperAttributes &attributes)
{
    if (isLink(name)) {
        startLink_ = true;
        // A link without an address keeps the one before it. Kept as a view (the page text outlives every
        // event of the parse): a page has many links and few images, so only an image's link is copied.
        const QStringView href = attributes.view("href");
        if (!href.isNull())
            currentHRef_ = href;
        return;
    }
    if (isImage(name))
        addImage(attributes);
}

// Apart from the common path above: its strings would give every tag a
// stack frame to set up.
void ImageParserDelegate::addImage(const HyperAttributes &attributes)
{
    const QString src = attributes.value("src");
    if (!isMangaImageWithSource(src))
        return;
    // Inside a link the image gets its address, empty rather than null
    // when the link has none: only an image outside links has no link.
    QString parentLink;
    if (startLink_)
        parentLink = currentHRef_.isNull() ? QStringLiteral("") : currentHRef_.toString();
    images_.append(ImageElement(src, QString(), 0, 0, parentLink));
}

void ImageParserDelegate::didEndElement(HyperParser &, QStringView name)
{
    if (isLink(name)) {
        startLink_ = false;
        currentHRef_ = QStringView();
    }
}
