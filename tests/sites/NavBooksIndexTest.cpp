#include <gtest/gtest.h>

#include <memory>

#include <unicode/alphaindex.h>

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

// Titles that start with a letter are placed by that letter alone; where a
// following letter changes the section (a contraction: Czech "ch",
// Hungarian "dzs", a Swedish "a" with a combining ring) ICU must still decide.
TEST(NavBooksIndexTest, SectionsAgreeWithIcuWhateverFollowsTheFirstLetter)
{
    const QStringList tails{QString(),
                            QStringLiteral("h"),
                            QStringLiteral("zs"),
                            QStringLiteral("s"),
                            QStringLiteral("\u030a"),
                            QStringLiteral("\u0308"),
                            QStringLiteral("\u00b7l"),
                            QStringLiteral(" 2"),
                            QStringLiteral("lama")};
    for (const char *locale : {"en_US", "cs", "hu", "sv", "da", "es@collation=traditional", "ja", "hr"}) {
        UErrorCode status = U_ZERO_ERROR;
        icu::AlphabeticIndex alphabet{icu::Locale(locale), status};
        std::unique_ptr<icu::AlphabeticIndex::ImmutableIndex> reference(alphabet.buildImmutableIndex(status));
        ASSERT_TRUE(U_SUCCESS(status)) << locale;
        const NavBooksIndex index(locale);
        for (char16_t first = 0x20; first < 0x7f; ++first) {
            for (const QString &tail : tails) {
                const QString title = QChar(first) + tail;
                const int32_t bucket = reference->getBucketIndex(
                    icu::UnicodeString(reinterpret_cast<const UChar *>(title.utf16()), int32_t(title.size())),
                    status);
                const icu::AlphabeticIndex::Bucket *expected = reference->getBucket(bucket);
                const QString label =
                    expected->getLabelType() == U_ALPHAINDEX_NORMAL
                        ? QString(reinterpret_cast<const QChar *>(expected->getLabel().getBuffer()),
                                  expected->getLabel().length())
                        : QStringLiteral("#");
                EXPECT_EQ(index.sectionTitles()[index.sectionForTitle(title)], label)
                    << locale << " " << title.toStdString();
            }
        }
    }
}

} // namespace
