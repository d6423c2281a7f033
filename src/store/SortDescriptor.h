#pragma once

#include <QString>

// One sort key of a fetch. Decimal attributes always sort by number; text
// sorts by code point unless the localized case-insensitive comparison is
// asked for. Nil sorts first in ascending order.
struct SortDescriptor {
    enum class Comparison { Default, LocalizedCaseInsensitive };

    QString key; // a key path, like a predicate's
    bool ascending = true;
    Comparison comparison = Comparison::Default;

    static SortDescriptor localizedCaseInsensitive(const QString &key, bool ascending = true)
    {
        return SortDescriptor{key, ascending, Comparison::LocalizedCaseInsensitive};
    }
};
