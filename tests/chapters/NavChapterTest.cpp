#include <algorithm>

#include <gtest/gtest.h>

#include <QList>
#include <QStringList>

#include "sites/NavChapter.h"

TEST(NavChapterTest, TitleLosesOuterBlanksButKeepsLineBreaks)
{
    EXPECT_EQ(NavChapter(QStringLiteral(" \t Ch.3 \t"), {}, std::nullopt).title(), QStringLiteral("Ch.3"));
    EXPECT_EQ(NavChapter(QStringLiteral("\nCh.3 "), {}, std::nullopt).title(), QStringLiteral("\nCh.3"));
    EXPECT_TRUE(NavChapter().scanlator().isNull());
}

TEST(NavChapterTest, SortsHighestFirstWithNaNAndMissingNumbersLast)
{
    auto chapter = [](const char *name, std::optional<Decimal> number) {
        return NavChapter(QString::fromLatin1(name), {}, number);
    };
    QList<NavChapter> chapters{chapter("none-a", std::nullopt),
                               chapter("two", Decimal(2)),
                               chapter("nan", Decimal::notANumber()),
                               chapter("vol", Decimal::fromString(u"10001")),
                               chapter("half", Decimal::fromString(u"2.5")),
                               chapter("none-b", std::nullopt),
                               chapter("zero", Decimal(0))};
    std::stable_sort(chapters.begin(), chapters.end(),
                     [](const NavChapter &a, const NavChapter &b) { return a.compare(b) < 0; });
    QStringList order;
    for (const auto &c : chapters)
        order << c.title();
    EXPECT_EQ(order.join(u' '), QStringLiteral("vol half two zero nan none-a none-b"));

    EXPECT_TRUE(chapter("low", Decimal(1)).compare(chapter("high", Decimal(2))) > 0);
    EXPECT_TRUE(chapter("a", Decimal::fromString(u"3.0")).compare(chapter("b", Decimal(3))) == 0);
}
