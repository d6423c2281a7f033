#include "web/URLParser.h"

#include "foundation/Regex.h"

URLParserException::URLParserException(const QString &reason) : std::logic_error(reason.toStdString()) {}

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
