#pragma once

#include <compare>
#include <cstdint>

#include <QString>

// An exact base-10 number: coefficient × 10^exponent with up to 38
// significant digits, or not-a-number. Chapter numbers and sort keys use it
// so that 12.5 × 10 is exactly 125 and 2 × 10000 + 15 exactly 20015.
class Decimal
{
public:
    Decimal() = default; // zero
    Decimal(long long value);
    static Decimal fromString(QStringView text); // "." separator; NaN without a number
    static Decimal notANumber();
    static Decimal zero() { return Decimal(); }

    bool isNaN() const { return nan_; }
    bool isZero() const { return !nan_ && coefficient_ == 0; }
    bool isNegative() const { return !nan_ && negative_ && coefficient_ != 0; }

    // Plain form, no exponent, no trailing zeros: 007 -> "7", 10.50 -> "10.5".
    // Not-a-number prints "NaN".
    QString toString() const;
    double toDouble() const;
    // The integer part, truncated toward zero (0 for not-a-number).
    long long integerPart() const;

    Decimal operator+(const Decimal &other) const;
    Decimal operator-(const Decimal &other) const;
    Decimal operator*(const Decimal &other) const;
    Decimal operator-() const;

    // Numeric comparison. Not-a-number sorts before every number and equals
    // only itself, so sorting stays a strict weak order.
    std::strong_ordering operator<=>(const Decimal &other) const;
    bool operator==(const Decimal &other) const;

private:
    using Coefficient = unsigned __int128;
    void normalize();
    static Decimal make(bool negative, Coefficient coefficient, int exponent);

    Coefficient coefficient_ = 0;
    int exponent_ = 0;
    bool negative_ = false;
    bool nan_ = false;
};
