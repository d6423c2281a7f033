#include <gtest/gtest.h>

#include "catalogue/NavBooksIndex.h"

namespace {

TEST(NavBooksIndexTest, LettersDigitsAccentsAndSymbols)
{
    const NavBooksIndex index("en_US");
    const QStringList titles = index.sectionTitles();
    ASSERT_EQ(titles.size(), 27);
    EXPECT_EQ(titles.front(), u"A");
    EXPECT_EQ(titles[25], u"Z");
    EXPECT_EQ(titles.back(), u"#");

    const struct {
        const char *title;
        const char *section;
    } cases[] = {
        {"apple", "A"},  {"Ångström", "A"}, {"Élan Vital", "E"}, {"école", "E"}, {"Zeta", "Z"},
        {"123 Go", "#"}, {"!Bang", "#"},    {"\"Quoted\"", "#"}, {"", "#"},      {"ñandú", "N"},
        {"Œuvre", "O"},  {"ß-Line", "S"},   {"日本", "#"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(titles[index.sectionForTitle(QString::fromUtf8(c.title))], QString::fromUtf8(c.section))
            << c.title;

    // Books keep the list's order within their section.
    const QList<NavBook> books{NavBook(QStringLiteral("Beta"), QStringLiteral("/b")),
                               NavBook(QStringLiteral("9 Lives"), QStringLiteral("/9")),
                               NavBook(QStringLiteral("Alpha"), QStringLiteral("/a")),
                               NavBook(QStringLiteral("Bolt"), QStringLiteral("/bo"))};
    const auto sections = index.sections(books);
    ASSERT_EQ(sections.size(), 27u);
    EXPECT_EQ(sections[0], std::vector<int>{2});
    EXPECT_EQ(sections[1], (std::vector<int>{0, 3}));
    EXPECT_EQ(sections[26], std::vector<int>{1});
}

} // namespace
