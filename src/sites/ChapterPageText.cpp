#include "sites/ChapterPageText.h"

#include <memory>

#include "web/URLParser.h"

namespace ChapterPageText {

QString cleaned(const QString &text)
{
    QString result = text;
    result.replace(QStringLiteral("&#39;"), QStringLiteral("'"));
    result.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    result.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return result;
}

void appendInfoRun(QString &info, const QString &trimmedRun)
{
    if (trimmedRun == u",")
        info += QStringLiteral(", ");
    else
        info += trimmedRun;
}

NavChapter chapterFromURL(const QString &siteKey, const QString &urlString)
{
    auto parser = URLParser::urlParserWithRoot(siteKey, urlString);
    if (!parser)
        return NavChapter(QString(), urlString, std::nullopt);
    return NavChapter(parser->chapterTitle(), urlString, parser->adjustedChapterNumber());
}

} // namespace ChapterPageText
