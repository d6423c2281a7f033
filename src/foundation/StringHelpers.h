#pragma once

#include <QString>
#include <QStringList>

// Case-insensitive containment tests that the page parsers share: both sides
// are lower-cased, then searched literally. An empty needle matches nothing, so
// an empty keyword in a list can never make every text match.
// Thread contract: pure functions, any thread.

// True when the lower-cased s contains the lower-cased t.
bool contains(const QString &s, const QString &t);

// True when the lower-cased s contains the lower-cased form of at least one
// string of the list; stops at the first hit; false for an empty list.
bool containsOneOf(const QString &s, const QStringList &list);
