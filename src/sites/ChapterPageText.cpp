#include "sites/ChapterPageText.h"

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

NavChapter chapterFromURL(const URLParser &parser)
{
    return NavChapter(parser.chapterTitle(), parser.urlString(), parser.adjustedChapterNumber());
}

} // namespace ChapterPageText
