#include "foundation/Localized.h"

#include <QRegularExpression>

QString localized(const QString &text)
{
    return text;
}

QString localized(const char *text)
{
    return QString::fromUtf8(text);
}

QString withArguments(const QString &format, const QStringList &arguments)
{
    static const QRegularExpression placeholder(QStringLiteral("%(@|d|qu)"));
    QString out;
    qsizetype from = 0;
    qsizetype next = 0;
    auto it = placeholder.globalMatch(format);
    while (it.hasNext()) {
        const auto match = it.next();
        out += QStringView(format).mid(from, match.capturedStart() - from);
        out += next < arguments.size() ? arguments[next] : match.captured();
        ++next;
        from = match.capturedEnd();
    }
    out += QStringView(format).mid(from);
    return out;
}
