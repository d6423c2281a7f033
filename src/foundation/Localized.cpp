#include "foundation/Localized.h"

QString localized(const QString &text)
{
    return text;
}

QString localized(const char *text)
{
    return QString::fromUtf8(text);
}
