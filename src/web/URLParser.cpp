#include "web/URLParser.h"

#include "web/Regex.h"
#include "web/StringHelpers.h"
#include "web/URLParserMangaFox.h"
#include "web/URLParserMangaHere.h"
#include "web/URLParserMangaReader.h"
#include "web/URLParserOneManga.h"

URLParserException::URLParserException(const QString &reason) : std::logic_error(reason.toStdString()) {}

namespace {

std::unique_ptr<URLParser> parserForKey(const QString &key, const QString &urlString)
{
    if (contains(key, QStringLiteral("onemanga")))
        return URLParser::create<URLParserOneManga>(urlString);
    if (contains(key, QStringLiteral("mangafox")))
        return URLParser::create<URLParserMangaFox>(urlString);
    if (contains(key, QStringLiteral("mangareader")))
        return URLParser::create<URLParserMangaReader>(urlString);
    if (contains(key, QStringLiteral("mangahere")))
        return URLParser::create<URLParserMangaHere>(urlString);
    return nullptr;
}

} // namespace

std::unique_ptr<URLParser> URLParser::urlParserWithURLString(const QString &urlString)
{
    return parserForKey(urlString, urlString);
}

std::unique_ptr<URLParser> URLParser::urlParserWithRoot(const QString &root, const QString &chapterURLString)
{
    return parserForKey(root, chapterURLString);
}

void URLParser::initWithURLString(const QString &urlString)
{
    urlString_ = urlString;
    root_.clear();
    const QStringList host =
        captureComponentsMatchedByRegex(urlString, QStringLiteral("^https?://www\\.([^/]+)\\.com/"));
    if (host.size() == 2)
        root_ = host[1];
    parse();
}

void URLParser::parse()
{
    throw URLParserException(QStringLiteral("Override parse"));
}

Decimal URLParser::adjustedChapterNumber() const
{
    throw URLParserException(QStringLiteral("Override adjustedChapterNumber"));
}

bool URLParser::matchPattern(const QString &pattern, int components, bool hasVolume)
{
    const QStringList parts = captureComponentsMatchedByRegex(urlString_, pattern);
    if (parts.size() != components)
        return false;
    title_ = parts[1];
    if (hasVolume)
        volume_ = parts[2];
    chapter_ = parts[hasVolume ? 3 : 2];
    return true;
}

QString URLParser::chapterTitle() const
{
    const Decimal volume = Decimal::fromString(volume_);
    const Decimal chapter = Decimal::fromString(chapter_);
    // An address the patterns could not read has no number to print; its
    // own text (or nothing) still gives the reader a label.
    const QString chapterText = chapter.isNaN() ? chapter_ : chapter.toString();
    if (volume.isNaN())
        return QStringLiteral("Ch.") + chapterText;
    return QStringLiteral("Vol.") + volume.toString() + QStringLiteral(" Ch.") + chapterText;
}

Decimal URLParser::volumeAdjustedNumber() const
{
    const Decimal chapter = Decimal::fromString(chapter_);
    if (chapter_.isNull() || chapter.isNaN())
        return Decimal::zero();
    const Decimal volume = Decimal::fromString(volume_);
    if (volume.isNaN())
        return chapter;
    return volume * Decimal(10000) + chapter;
}
