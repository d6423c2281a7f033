#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include <QStringList>

#include "foundation/Regex.h"

namespace {
QString q(const char *text)
{
    return QString::fromUtf8(text);
}

QStringList list(std::initializer_list<const char *> items)
{
    QStringList result;
    for (const char *item : items)
        result.append(q(item));
    return result;
}
} // namespace

TEST(RegexTest, CaptureComponentsOfFirstMatch)
{
    const struct {
        const char *s, *pattern;
        QStringList expected;
    } cases[] = {
        {"/manga/naruto/v02/c013.5/1.html", "v(\\d+)/c([\\d.]+)", list({"v02/c013.5", "02", "013.5"})},
        // A group that took no part is an empty string, keeping the numbering.
        {"/manga/naruto/c007/", "(?:v(\\d+)/)?c(\\d+)", list({"c007", "", "007"})},
        {"no digits here", "(\\d+)", {}},
        // First match only.
        {"a1 b2 c3", "([a-z])(\\d)", list({"a1", "a", "1"})},
        // "." does not cross a line end, "^" anchors at the whole string.
        {"one\ntwo", "^(.*)$", {}},
        {"one\ntwo", "^(.*)", list({"one", "one"})},
        // Case-sensitive, non-ASCII text survives.
        {"Chapitre Été 12", "été", {}},
        {"Chapitre Été 12", "Été (\\d+)", list({"Été 12", "12"})},
    };
    for (const auto &c : cases)
        EXPECT_EQ(captureComponentsMatchedByRegex(q(c.s), q(c.pattern)), c.expected)
            << c.s << " ~ " << c.pattern;
}

TEST(RegexTest, MatchReplaceAndSplit)
{
    EXPECT_TRUE(isMatchedByRegex(q("page 12 of 40"), q("\\d+ of")));
    EXPECT_FALSE(isMatchedByRegex(q("page 12 of 40"), q("^\\d")));
    EXPECT_FALSE(isMatchedByRegex(QString(), q("x")));

    EXPECT_EQ(stringByReplacingOccurrencesOfRegex(q("v02/c013"), q("v(\\d+)/c(\\d+)"), q("$2-$1")),
              q("013-02"));
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex(q("a  b   c"), q(" +"), q(" ")), q("a b c"));
    EXPECT_EQ(stringByReplacingOccurrencesOfRegex(q("abc"), q("x"), q("y")), q("abc"));

    const struct {
        const char *s, *pattern;
        QStringList expected;
    } splits[] = {
        {"a, b,c", ",\\s*", list({"a", "b", "c"})},
        {",a,", ",", list({"", "a", ""})},
        {"abc", ",", list({"abc"})},
        // Capture groups of the separator are not pieces.
        {"1-2+3", "([-+])", list({"1", "2", "3"})},
    };
    for (const auto &c : splits)
        EXPECT_EQ(componentsSeparatedByRegex(q(c.s), q(c.pattern)), c.expected) << c.s << " / " << c.pattern;
}

TEST(RegexTest, InvalidPatternOrTemplateThrows)
{
    EXPECT_THROW(isMatchedByRegex(q("x"), q("(unclosed")), std::invalid_argument);
    // A broken pattern is not cached as if it were good.
    EXPECT_THROW(captureComponentsMatchedByRegex(q("x"), q("(unclosed")), std::invalid_argument);
    EXPECT_THROW(stringByReplacingOccurrencesOfRegex(q("ab"), q("(a)"), q("$3")), std::invalid_argument);
}

TEST(RegexTest, SharedPatternsFromSeveralThreads)
{
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &failures] {
            for (int i = 0; i < 2000; ++i) {
                const QString text = QStringLiteral("c%1/p%2").arg(t).arg(i);
                const QStringList parts =
                    captureComponentsMatchedByRegex(text, QStringLiteral("c(\\d+)/p(\\d+)"));
                // A few patterns are new to the cache while others read it.
                const bool fresh = isMatchedByRegex(text, QStringLiteral("p%1$").arg(i % 50));
                if (parts.size() != 3 || parts[1].toInt() != t || parts[2].toInt() != i || fresh != (i < 50))
                    ++failures;
            }
        });
    }
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);
}
