#include <gtest/gtest.h>

#include <QStringList>

#include "foundation/StringHelpers.h"

namespace {
QString q(const char *text)
{
    return QString::fromUtf8(text);
}
} // namespace

TEST(StringHelpersTest, ContainmentIgnoresCase)
{
    EXPECT_TRUE(contains(q("One Piece"), q("PIECE")));
    EXPECT_TRUE(contains(q("ÉTÉ"), q("été")));
    EXPECT_FALSE(contains(q("One Piece"), q("pieces")));
    // An empty needle must not match everything (a filter list with an empty entry).
    EXPECT_FALSE(contains(q("One Piece"), QString()));

    EXPECT_TRUE(containsOneOf(q("Licensed by VIZ Media"), QStringList{q("tokyopop"), q("viz media")}));
    EXPECT_FALSE(
        containsOneOf(q("Licensed by VIZ Media"), QStringList{q("tokyopop"), QString(), q("yen press")}));
    EXPECT_FALSE(containsOneOf(q("anything"), {}));
}
