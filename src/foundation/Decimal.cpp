#include "foundation/Decimal.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

namespace {

using Coefficient = unsigned __int128;

// 10^38 < 2^128: the largest power of ten a coefficient may reach.
constexpr int kMaxDigits = 38;

Coefficient pow10(int n)
{
    Coefficient p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

int digitCount(Coefficient c)
{
    int n = 1;
    while (c >= 10) {
        c /= 10;
        ++n;
    }
    return n;
}

// Brings a to exponent b's level when a's is larger, by scaling a's
// coefficient up; when that would overflow, b is rounded down instead.
void align(Coefficient &ca, int &ea, Coefficient &cb, int &eb)
{
    while (ea > eb) {
        if (ca <= (pow10(kMaxDigits) - 1) / 10) {
            ca *= 10;
            --ea;
        } else {
            cb /= 10; // precision beyond 38 digits is dropped
            ++eb;
        }
    }
}

} // namespace

Decimal::Decimal(long long value)
{
    negative_ = value < 0;
    coefficient_ = negative_ ? Coefficient(-(value + 1)) + 1 : Coefficient(value);
}

Decimal Decimal::notANumber()
{
    Decimal d;
    d.nan_ = true;
    return d;
}

Decimal Decimal::make(bool negative, Coefficient coefficient, int exponent)
{
    Decimal d;
    d.negative_ = negative;
    d.coefficient_ = coefficient;
    d.exponent_ = exponent;
    d.normalize();
    return d;
}

void Decimal::normalize()
{
    if (coefficient_ == 0) {
        exponent_ = 0;
        negative_ = false;
        return;
    }
    while (coefficient_ % 10 == 0) {
        coefficient_ /= 10;
        ++exponent_;
    }
}

Decimal Decimal::fromString(QStringView text)
{
    // Like a number scanner: leading white space, a sign, digits with an
    // optional "." fraction, an optional exponent; whatever follows is ignored.
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    Coefficient c = 0;
    int exponent = 0;
    int digits = 0;
    bool any = false;
    auto takeDigit = [&](int d, bool fraction) {
        any = true;
        if (digits == 0 && d == 0) {
            if (fraction)
                --exponent;
            return;
        }
        if (digits < kMaxDigits) {
            c = c * 10 + Coefficient(d);
            ++digits;
            if (fraction)
                --exponent;
        } else if (!fraction) {
            ++exponent; // beyond 38 digits the integer part keeps its magnitude
        }
    };
    while (i < n && text[i] >= u'0' && text[i] <= u'9')
        takeDigit(text[i++].unicode() - u'0', false);
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && text[i] >= u'0' && text[i] <= u'9')
            takeDigit(text[i++].unicode() - u'0', true);
    }
    if (!any)
        return notANumber();
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        bool expNegative = false;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            expNegative = text[j] == u'-';
            ++j;
        }
        if (j < n && text[j] >= u'0' && text[j] <= u'9') {
            int e = 0;
            while (j < n && text[j] >= u'0' && text[j] <= u'9') {
                e = std::min(e * 10 + (text[j].unicode() - u'0'), 100000);
                ++j;
            }
            exponent += expNegative ? -e : e;
        }
    }
    return make(negative, c, exponent);
}

QString Decimal::toString() const
{
    if (nan_)
        return QStringLiteral("NaN");
    if (coefficient_ == 0)
        return QStringLiteral("0");
    std::string digits;
    for (Coefficient c = coefficient_; c > 0; c /= 10)
        digits.push_back(char('0' + int(c % 10)));
    std::reverse(digits.begin(), digits.end());
    std::string out;
    if (negative_)
        out.push_back('-');
    if (exponent_ >= 0) {
        out += digits;
        out.append(size_t(exponent_), '0');
    } else {
        const int fraction = -exponent_;
        if (int(digits.size()) <= fraction) {
            out += "0.";
            out.append(size_t(fraction - int(digits.size())), '0');
            out += digits;
        } else {
            out += digits.substr(0, digits.size() - size_t(fraction));
            out.push_back('.');
            out += digits.substr(digits.size() - size_t(fraction));
        }
    }
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}

double Decimal::toDouble() const
{
    if (nan_)
        return std::nan("");
    return toString().toDouble();
}

long long Decimal::integerPart() const
{
    if (nan_ || coefficient_ == 0)
        return 0;
    Coefficient c = coefficient_;
    if (exponent_ < 0)
        c = -exponent_ > kMaxDigits ? 0 : c / pow10(-exponent_);
    else
        for (int i = 0; i < exponent_ && c < Coefficient(1) << 100; ++i)
            c *= 10;
    const auto clamped = (long long)std::min<Coefficient>(c, Coefficient(LLONG_MAX));
    return negative_ ? -clamped : clamped;
}

Decimal Decimal::operator-() const
{
    Decimal d = *this;
    if (!d.nan_ && d.coefficient_ != 0)
        d.negative_ = !d.negative_;
    return d;
}

Decimal Decimal::operator+(const Decimal &other) const
{
    if (nan_ || other.nan_)
        return notANumber();
    Coefficient ca = coefficient_, cb = other.coefficient_;
    int ea = exponent_, eb = other.exponent_;
    align(ca, ea, cb, eb);
    align(cb, eb, ca, ea);
    const int e = std::min(ea, eb);
    if (negative_ == other.negative_) {
        Coefficient sum = ca + cb;
        int exp = e;
        if (sum < ca || digitCount(sum) > kMaxDigits) { // keep within 38 digits
            sum = ca / 10 + cb / 10;
            ++exp;
        }
        return make(negative_, sum, exp);
    }
    if (ca >= cb)
        return make(negative_, ca - cb, e);
    return make(other.negative_, cb - ca, e);
}

Decimal Decimal::operator-(const Decimal &other) const
{
    return *this + (-other);
}

Decimal Decimal::operator*(const Decimal &other) const
{
    if (nan_ || other.nan_)
        return notANumber();
    Coefficient a = coefficient_, b = other.coefficient_;
    int e = exponent_ + other.exponent_;
    Coefficient product;
    // Beyond 38 digits the least significant ones are dropped.
    while (__builtin_mul_overflow(a, b, &product) || (product != 0 && digitCount(product) > kMaxDigits)) {
        if (a >= b)
            a /= 10;
        else
            b /= 10;
        ++e;
    }
    return make(negative_ != other.negative_, product, e);
}

std::strong_ordering Decimal::operator<=>(const Decimal &other) const
{
    if (nan_ || other.nan_) {
        if (nan_ && other.nan_)
            return std::strong_ordering::equal;
        return nan_ ? std::strong_ordering::less : std::strong_ordering::greater;
    }
    const Decimal diff = *this - other;
    if (diff.coefficient_ == 0)
        return std::strong_ordering::equal;
    return diff.negative_ ? std::strong_ordering::less : std::strong_ordering::greater;
}

bool Decimal::operator==(const Decimal &other) const
{
    return (*this <=> other) == std::strong_ordering::equal;
}
