#include "foundation/StringHelpers.h"

bool contains(const QString &s, const QString &t)
{
    if (t.isEmpty())
        return false;
    return s.toLower().contains(t.toLower());
}

bool containsOneOf(const QString &s, const QStringList &list)
{
    const QString lower = s.toLower();
    for (const QString &t : list) {
        if (!t.isEmpty() && lower.contains(t.toLower()))
            return true;
    }
    return false;
}
