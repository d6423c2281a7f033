#include "store/StoreCollation.h"

#include <cstring>
#include <string_view>
#include <vector>

#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include <QList>

#include "foundation/Decimal.h"

namespace {

UCollator *sharedCollator()
{
    static UCollator *collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        // The POSIX locale's order puts every capital before every small
        // letter; the root order is the sensible one for "C" environments.
        const char *locale = uloc_getDefault();
        if (std::strncmp(locale, "en_US_POSIX", 11) == 0)
            locale = "";
        UCollator *c = ucol_open(locale, &status);
        if (U_FAILURE(status)) {
            status = U_ZERO_ERROR;
            c = ucol_open("", &status); // the root order still sorts sensibly
        }
        if (c)
            ucol_setStrength(c, UCOL_SECONDARY);
        return c;
    }();
    return collator;
}

int sign(UCollationResult r)
{
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

// Glob match over code points; "*" backtracks to the most recent star only,
// which is enough for a pattern language without classes.
bool glob(const std::vector<char32_t> &text, const std::vector<char32_t> &pattern)
{
    size_t t = 0, p = 0, starP = size_t(-1), starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == text[t])) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            starP = p++;
            starT = t;
        } else if (starP != size_t(-1)) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}

std::vector<char32_t> codePoints(const QString &s)
{
    std::vector<char32_t> out;
    out.reserve(size_t(s.size()));
    for (char32_t c : s.toUcs4())
        out.push_back(c);
    return out;
}

// A decimal as Decimal::toString() writes it: an optional "-", an integer
// part without leading zeros, an optional fraction without trailing zeros.
struct CanonicalDecimal {
    bool negative = false;
    std::string_view integer;
    std::string_view fraction;
};

bool parseCanonical(std::string_view text, CanonicalDecimal *out)
{
    size_t i = 0;
    if (i < text.size() && text[i] == '-') {
        out->negative = true;
        ++i;
    }
    const size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    out->integer = text.substr(start, i - start);
    if (out->integer.empty() || (out->integer.size() > 1 && out->integer[0] == '0'))
        return false;
    if (i < text.size()) {
        if (text[i] != '.')
            return false;
        const size_t fractionStart = ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
        out->fraction = text.substr(fractionStart, i - fractionStart);
        if (i != text.size() || out->fraction.empty() || out->fraction.back() == '0')
            return false;
    }
    // "-0" is not canonical: zero has no sign.
    return !(out->negative && out->integer == "0" && out->fraction.empty());
}

int compareMagnitudes(const CanonicalDecimal &a, const CanonicalDecimal &b)
{
    if (a.integer.size() != b.integer.size())
        return a.integer.size() < b.integer.size() ? -1 : 1;
    if (const int c = a.integer.compare(b.integer))
        return c < 0 ? -1 : 1;
    const int c = a.fraction.compare(b.fraction);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

int StoreCollation::compareDecimalTexts(const char *a, int aLength, const char *b, int bLength)
{
    CanonicalDecimal x, y;
    if (parseCanonical(std::string_view(a, size_t(aLength)), &x) &&
        parseCanonical(std::string_view(b, size_t(bLength)), &y)) {
        if (x.negative != y.negative)
            return x.negative ? -1 : 1;
        const int order = compareMagnitudes(x, y);
        return x.negative ? -order : order;
    }
    // Anything else (not-a-number, an exponent, text from elsewhere) the slow way.
    const auto order = Decimal::fromString(QString::fromLatin1(a, aLength)) <=>
                       Decimal::fromString(QString::fromLatin1(b, bLength));
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int StoreCollation::localizedCaseInsensitiveCompare(const QString &a, const QString &b)
{
    UCollator *c = sharedCollator();
    if (!c)
        return a.compare(b, Qt::CaseInsensitive);
    return sign(ucol_strcoll(c, reinterpret_cast<const UChar *>(a.utf16()), int32_t(a.size()),
                             reinterpret_cast<const UChar *>(b.utf16()), int32_t(b.size())));
}

int StoreCollation::localizedCaseInsensitiveCompareUtf8(const char *a, int aLength, const char *b,
                                                        int bLength)
{
    UCollator *c = sharedCollator();
    if (!c)
        return localizedCaseInsensitiveCompare(QString::fromUtf8(a, aLength), QString::fromUtf8(b, bLength));
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = ucol_strcollUTF8(c, a, aLength, b, bLength, &status);
    if (U_FAILURE(status))
        return localizedCaseInsensitiveCompare(QString::fromUtf8(a, aLength), QString::fromUtf8(b, bLength));
    return sign(r);
}

bool StoreCollation::matchesLike(const QString &value, const QString &pattern, bool caseInsensitive)
{
    if (caseInsensitive)
        return glob(codePoints(value.toCaseFolded()), codePoints(pattern.toCaseFolded()));
    return glob(codePoints(value), codePoints(pattern));
}
