#include <gtest/gtest.h>

#include "foundation/Decimal.h"

namespace {
Decimal d(const char *text)
{
    return Decimal::fromString(QString::fromLatin1(text));
}
} // namespace

TEST(DecimalTest, ParsesAndPrintsPlainForm)
{
    const struct {
        const char *in;
        const char *out;
    } cases[] = {
        {"007", "7"},         {"10.50", "10.5"},   {"010.5", "10.5"}, {"0", "0"},
        {"-0.0", "0"},        {"0.001", "0.001"},  {"1e3", "1000"},   {"12abc", "12"},
        {"  3.25 ", "3.25"},  {"-4.5", "-4.5"},    {".5", "0.5"},     {"5.", "5"},
        {"1.5e-2", "0.015"},  {"2e", "2"},
        {"12345678901234567890123456789012345", "12345678901234567890123456789012345"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(d(c.in).toString(), QString::fromLatin1(c.out)) << c.in;
}

TEST(DecimalTest, TextWithoutNumberIsNotANumber)
{
    for (const char *text : {"", "abc", ".", "-", " x1", "e5"})
        EXPECT_TRUE(d(text).isNaN()) << text;
    EXPECT_EQ(Decimal::notANumber().toString(), QStringLiteral("NaN"));
    EXPECT_TRUE((Decimal::notANumber() + Decimal(1)).isNaN());
    EXPECT_TRUE((Decimal(2) * Decimal::notANumber()).isNaN());
}

TEST(DecimalTest, ArithmeticIsExact)
{
    EXPECT_EQ((Decimal(2) * Decimal(10000) + d("15")).toString(), QStringLiteral("20015"));
    EXPECT_EQ((d("12.5") * Decimal(10)).toString(), QStringLiteral("125"));
    EXPECT_EQ((d("0.1") + d("0.2")).toString(), QStringLiteral("0.3"));
    EXPECT_EQ((d("0.1") + d("0.2")), d("0.3"));
    EXPECT_EQ((d("1") - d("1.25")).toString(), QStringLiteral("-0.25"));
    EXPECT_EQ((d("-1.5") * d("-2")).toString(), QStringLiteral("3"));
    EXPECT_EQ((d("2") * Decimal(10000) + d("10.5")).toString(), QStringLiteral("20010.5"));
    // 34 significant digits survive a round of arithmetic.
    EXPECT_EQ((d("1234567890123456789012345678901234") + Decimal(1)).toString(),
              QStringLiteral("1234567890123456789012345678901235"));
}

TEST(DecimalTest, ComparesNumericallyWithNaNFirst)
{
    EXPECT_LT(d("9"), d("10"));
    EXPECT_LT(d("10.05"), d("10.5"));
    EXPECT_EQ(d("10.50"), d("10.5"));
    EXPECT_GT(d("-1"), d("-2"));
    EXPECT_LT(Decimal::notANumber(), d("-1000"));
    EXPECT_EQ(Decimal::notANumber(), Decimal::notANumber());
    EXPECT_NE(Decimal::notANumber(), Decimal(0));
}

TEST(DecimalTest, IntegerPartTruncatesTowardZero)
{
    EXPECT_EQ(d("125.9").integerPart(), 125);
    EXPECT_EQ(d("-3.7").integerPart(), -3);
    EXPECT_EQ(d("0.5").integerPart(), 0);
    EXPECT_EQ(d("1e3").integerPart(), 1000);
    EXPECT_EQ(Decimal::notANumber().integerPart(), 0);
    EXPECT_EQ(Decimal(-42).integerPart(), -42);
}
