#include <gtest/gtest.h>

#include "sites/LicensedBooksFilter.h"
#include "sites/LicensedGenreBooksFilter.h"
#include "sites/LicensedRecentChaptersFilter.h"

namespace {

QList<NavBook> books(std::initializer_list<const char *> titles)
{
    QList<NavBook> list;
    for (const char *t : titles)
        list.append(NavBook(QString::fromUtf8(t), QStringLiteral("http://x/") + QString::fromUtf8(t)));
    return list;
}

QStringList titles(const QList<NavBook> &list)
{
    QStringList out;
    for (const auto &b : list)
        out << b.title();
    return out;
}

TEST(LicensedFilterTest, TableHoldsEveryTitleAndTheOddKey)
{
    EXPECT_EQ(LicensedFilter::defaultTitles().size(), 683);
    LicensedFilter f;
    EXPECT_TRUE(f.isLicensed(QStringLiteral("I\"S")));
    EXPECT_TRUE(f.isLicensed(QStringLiteral("i''s")));
    EXPECT_TRUE(f.isLicensed(QStringLiteral("Wolf&#039;s Rain")));
    EXPECT_TRUE(f.isLicensed(QStringLiteral("blood+ a")));
    EXPECT_TRUE(f.isLicensed(QStringLiteral("Bleach")));
}

TEST(LicensedFilterTest, Rules)
{
    struct Case {
        const char *title;
        bool licensed;
    } cases[] = {
        {"BLEACH", true},               // case folds
        {" \tNaruto\t ", true},         // spaces and tabs trimmed
        {"Naruto\n", false},            // line breaks are not blanks
        {"Naruto Gaiden", false},       // table titles match whole
        {"The Blue Dragon Saga", true}, // phrase inside a longer name
        {"POKEMON Zensho", true},       // phrase ignores case
        {"Reservoir Chronicle TSUBASA", true},
        {"Fushigi Yuugi Byakko Senki", true},
        {"Higurashi no Naku Koro ni Kai", true},
        {"nana", true},
        {"Nana", true}, // through the table
        {"nana to kaoru", false},
        {"Kissxsis", false}, // only the genre table has it
        {"", false},
    };
    LicensedFilter f;
    for (const auto &c : cases)
        EXPECT_EQ(f.isLicensed(QString::fromUtf8(c.title)), c.licensed) << c.title;
}

TEST(LicensedFilterTest, AllowedTitlesOnlyLeaveTheTable)
{
    LicensedFilter f({QStringLiteral("NANA"), QStringLiteral("Vampire Knight"), QStringLiteral("Bleach")});
    EXPECT_FALSE(f.isLicensed(QStringLiteral("Bleach")));
    EXPECT_FALSE(f.isLicensed(QStringLiteral("Nana")));          // table entry gone
    EXPECT_TRUE(f.isLicensed(QStringLiteral("nana")));           // the exact-case rule stays
    EXPECT_TRUE(f.isLicensed(QStringLiteral("Vampire Knight"))); // phrases stay
    EXPECT_TRUE(f.isLicensed(QStringLiteral("Naruto")));
}

TEST(LicensedFilterTest, BookAndGenreFilters)
{
    const auto list =
        books({"Bleach", "Kissxsis", "Ane Doki", "No Bra", "Pokemon Special", " Nana ", "Toradora"});
    LicensedBooksFilter plain(list);
    EXPECT_EQ(titles(plain.filteredNavBooks()),
              (QStringList{QStringLiteral("Kissxsis"), QStringLiteral("Ane Doki"), QStringLiteral("No Bra"),
                           QStringLiteral("Toradora")}));
    LicensedGenreBooksFilter genre(plain.filteredNavBooks());
    EXPECT_EQ(titles(genre.filteredNavBooks()),
              (QStringList{QStringLiteral("Ane Doki"), QStringLiteral("Toradora")}));
    // The genre table replaces the built-in one but the phrases still apply.
    LicensedGenreBooksFilter genreOnly(books({"Bleach", "Pokemon Adventures"}));
    EXPECT_EQ(titles(genreOnly.filteredNavBooks()), QStringList{QStringLiteral("Bleach")});
    EXPECT_TRUE(LicensedBooksFilter({}).filteredNavBooks().isEmpty());
}

TEST(LicensedFilterTest, RecentChaptersDropWholeIndicesAndSpareFavourites)
{
    const auto list = books({"Bleach", "One Punch", "Vampire Knight", "Naruto"});
    const QList<int> chapters{1, 2, 3, 4};
    const QStringList dates{QStringLiteral("d1"), QStringLiteral("d2"), QStringLiteral("d3"),
                            QStringLiteral("d4")};
    const QStringList labels{QStringLiteral("l1"), QStringLiteral("l2"), QStringLiteral("l3"),
                             QStringLiteral("l4")};
    LicensedRecentChaptersFilter<int> f(list, chapters, dates, labels,
                                        {QStringLiteral("Bleach"), QStringLiteral("Vampire Knight")});
    EXPECT_EQ(titles(f.filteredNavBooks()),
              (QStringList{QStringLiteral("Bleach"), QStringLiteral("One Punch")}));
    EXPECT_EQ(f.filteredNavChapters(), (QList<int>{1, 2}));
    EXPECT_EQ(f.filteredDates(), (QStringList{QStringLiteral("d1"), QStringLiteral("d2")}));
    EXPECT_EQ(f.filteredLabels(), (QStringList{QStringLiteral("l1"), QStringLiteral("l2")}));

    // Short parallel lists never read out of bounds.
    LicensedRecentChaptersFilter<int> shortLists(list, {7}, {}, {});
    EXPECT_EQ(shortLists.filteredNavBooks().size(), 1);
    EXPECT_EQ(shortLists.filteredNavChapters(), QList<int>{});
}

} // namespace
