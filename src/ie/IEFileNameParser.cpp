#include "ie/IEFileNameParser.h"

#include <QStringDecoder>

#include "foundation/Regex.h"

namespace {

int hexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return -1;
}

// The export percent-escapes a title (and "%" itself), so decoding gives the
// title back. A folder named by hand may hold a "%" that escapes nothing, or
// escapes that do not form UTF-8: such a name is kept as it is.
QString decodedTitle(const QString &title)
{
    if (!title.contains(u'%'))
        return title;
    QByteArray bytes;
    qsizetype plain = 0; // start of the text not yet copied
    for (qsizetype i = 0; i + 2 < title.size(); ++i) {
        const int high = title[i] == u'%' ? hexValue(title[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(title[i + 2]) : -1;
        if (low < 0)
            continue;
        bytes += QStringView(title).mid(plain, i - plain).toUtf8();
        bytes += char(high * 16 + low);
        i += 2;
        plain = i + 1;
    }
    bytes += QStringView(title).mid(plain).toUtf8();
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    return decoder.hasError() ? title : decoded;
}

} // namespace

bool IEFileNameParser::parseString(const QString &string)
{
    bookTitle_.clear();
    source_.clear();
    chapterNumber_ = volumeNumber_ = Decimal::notANumber();

    struct Pattern {
        QString regex;
        int title, volume, chapter, source; // capture groups; 0 for none
    };
    static const Pattern patterns[] = {
        {QStringLiteral("(.+?)_[vV]([\\d\\.]+)_[cC]h?([\\d\\.]+)_?\\[?([\\w\\.-]+)\\]?"), 1, 2, 3, 4},
        {QStringLiteral("\\[([\\w\\.-]+)\\]([^-]+)\\s+-\\s*Ch([\\d\\.]+)"), 2, 0, 3, 1},
        {QStringLiteral("(.+?)_(?:c|ch)?([\\d\\.]+)_?\\[?([\\w\\.-]+)\\]?"), 1, 0, 2, 3},
    };
    for (const Pattern &pattern : patterns) {
        const QStringList groups = captureComponentsMatchedByRegex(string, pattern.regex);
        const int expected = pattern.volume ? 5 : 4;
        if (groups.size() != expected)
            continue;
        bookTitle_ = decodedTitle(QString(groups[pattern.title]).replace(u'_', u' '));
        chapterNumber_ = Decimal::fromString(groups[pattern.chapter]);
        if (pattern.volume)
            volumeNumber_ = Decimal::fromString(groups[pattern.volume]);
        source_ = groups[pattern.source];
        return true;
    }
    return false;
}
