#pragma once

#include <QString>
#include <QStringList>

// Regular expressions in ICU syntax over the UTF-16 text of a QString, compiled
// with no options: case-sensitive, "." stops at line ends, "^" and "$" anchor at
// the whole string.
//
// Thread contract: any thread. Compiled patterns are shared through a
// process-wide cache; every call matches with a matcher of its own.
//
// Every pattern in the program is a constant, so an invalid pattern (or a
// template naming a group the pattern lacks) is a programming error: the call
// throws std::invalid_argument naming the pattern.

// The first match only: element 0 is the whole match, element n capture group
// n; a group that took no part yields an empty string. No match: empty list.
QStringList captureComponentsMatchedByRegex(const QString &s, const QString &pattern);

// True when the pattern matches anywhere in the string.
bool isMatchedByRegex(const QString &s, const QString &pattern);

// Every non-overlapping match replaced by the template, where "$n" stands for
// capture group n (a backslash takes the next character literally, "\\$").
QString stringByReplacingOccurrencesOfRegex(const QString &s, const QString &pattern, const QString &templ);

// The pieces of the string between matches, in order (capture groups are not
// included; a match at either end gives an empty first or last piece).
QStringList componentsSeparatedByRegex(const QString &s, const QString &pattern);
