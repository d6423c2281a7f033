#pragma once

#include <QString>

// The two text comparisons the store offers, shared by its SQL functions
// and by in-memory evaluation so that both give the same answers.
// Thread contract: any thread (the ICU collator is only read).
class StoreCollation
{
public:
    // Localized, case-insensitive order of the user's locale (an ICU
    // collator at secondary strength: accents count, case does not).
    static int localizedCaseInsensitiveCompare(const QString &a, const QString &b);
    static int localizedCaseInsensitiveCompareUtf8(const char *a, int aLength, const char *b, int bLength);

    // Numeric order of two stored decimal texts, the order Decimal gives.
    // The canonical texts the store writes compare without being parsed.
    static int compareDecimalTexts(const char *a, int aLength, const char *b, int bLength);

    // The whole of `value` against `pattern`, where "*" stands for any run
    // of characters and "?" for one character. Case-insensitive compares
    // case-folded text.
    static bool matchesLike(const QString &value, const QString &pattern, bool caseInsensitive);
};
