#include "ie/IEFileNameParser.h"

#include "web/Regex.h"

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
        bookTitle_ = QString(groups[pattern.title]).replace(u'_', u' ');
        chapterNumber_ = Decimal::fromString(groups[pattern.chapter]);
        if (pattern.volume)
            volumeNumber_ = Decimal::fromString(groups[pattern.volume]);
        source_ = groups[pattern.source];
        return true;
    }
    return false;
}
