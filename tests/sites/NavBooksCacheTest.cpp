#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "files/MyDirectories.h"
#include "sites/NavBooksCache.h"

namespace {

class NavBooksCacheTest : public ::testing::Test
{
protected:
    void SetUp() override { MyDirectories::setRootDirectory(root.path()); }
    void TearDown() override { MyDirectories::setRootDirectory({}); }
    QTemporaryDir root;
};

TEST_F(NavBooksCacheTest, RoundTripKeepsEveryField)
{
    const QString site = QStringLiteral("MangaFox.com");
    const QString dir = QStringLiteral("/directory/action/");
    EXPECT_FALSE(NavBooksCache::exists(site, dir));
    EXPECT_TRUE(NavBooksCache::dateString(site, dir).isNull());
    EXPECT_TRUE(NavBooksCache::books(site, dir).isEmpty());

    NavBook ranked(QStringLiteral("Tom & Jerry \u00e9\u6f2b"), QStringLiteral("http://x/tom/?no_warning=1"));
    ranked.setRank(QStringLiteral("12"));
    NavBook emptyRank(QStringLiteral("Empty Rank"), QStringLiteral("/e"));
    emptyRank.setRank(QStringLiteral(""));
    const QList<NavBook> books{ranked, NavBook(QStringLiteral("Plain"), QStringLiteral("/plain")), emptyRank};
    ASSERT_TRUE(NavBooksCache::write(books, site, dir));

    EXPECT_TRUE(NavBooksCache::exists(site, dir));
    const auto back = NavBooksCache::books(site, dir);
    EXPECT_EQ(back, books);
    EXPECT_TRUE(back[1].rank().isNull());
    EXPECT_FALSE(back[2].rank().isNull());
    EXPECT_FALSE(NavBooksCache::dateString(site, dir).isEmpty());
    // The list just written is kept in memory; once another list is written,
    // this one comes from its file, the same.
    ASSERT_TRUE(NavBooksCache::write(books.mid(1), site, QStringLiteral("/other/")));
    EXPECT_EQ(NavBooksCache::books(site, dir), books);
    EXPECT_TRUE(NavBooksCache::books(site, dir)[1].rank().isNull());

    // A list far larger than the slices it is written in.
    QList<NavBook> many;
    for (int i = 0; i < 3000; ++i)
        many << NavBook(QStringLiteral("Title \u00e9 %1").arg(i), QStringLiteral("http://x/%1/").arg(i));
    ASSERT_TRUE(NavBooksCache::write(many, site, QStringLiteral("/many/")));
    ASSERT_TRUE(NavBooksCache::write(books.mid(1), site, QStringLiteral("/other/")));
    EXPECT_EQ(NavBooksCache::books(site, QStringLiteral("/many/")), many);

    // Rewriting replaces the list; an empty list is a list too.
    ASSERT_TRUE(NavBooksCache::write({}, site, dir));
    EXPECT_TRUE(NavBooksCache::exists(site, dir));
    EXPECT_TRUE(NavBooksCache::books(site, dir).isEmpty());
}

// A fetched list is shown before its file is written: readers must get it,
// its date must not change when the file lands, and an older list written
// late must not replace a newer one.
TEST_F(NavBooksCacheTest, AnnouncedListIsReadBeforeItsFileAndTheNewestWins)
{
    const QString site = QStringLiteral("S");
    const QString dir = QStringLiteral("/list/");
    const QString path = NavBooksCache::filePath(site, dir);
    const QList<NavBook> older{NavBook(QStringLiteral("Old"), QStringLiteral("/old"))};
    const QList<NavBook> newer{NavBook(QStringLiteral("New"), QStringLiteral("/new")),
                               NavBook(QStringLiteral("Newer"), QStringLiteral("/newer"))};

    const NavBooksCache::Announced first = NavBooksCache::announce(older, site, dir);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(NavBooksCache::exists(site, dir));
    EXPECT_EQ(NavBooksCache::books(site, dir), older);
    const QString announcedDate = NavBooksCache::dateString(site, dir);
    EXPECT_FALSE(announcedDate.isEmpty());

    const NavBooksCache::Announced second = NavBooksCache::announce(newer, site, dir);
    EXPECT_EQ(NavBooksCache::books(site, dir), newer);
    ASSERT_TRUE(NavBooksCache::write(second));
    ASSERT_TRUE(NavBooksCache::write(first)); // late, and superseded
    EXPECT_EQ(NavBooksCache::books(site, dir), newer);
    EXPECT_EQ(NavBooksCache::dateString(site, dir), announcedDate);

    // From the file alone, as the next run of the program reads it.
    ASSERT_TRUE(NavBooksCache::write(older, site, QStringLiteral("/elsewhere/")));
    EXPECT_EQ(NavBooksCache::books(site, dir), newer);
}

TEST_F(NavBooksCacheTest, NamesFoldPunctuation)
{
    EXPECT_EQ(
        NavBooksCache::fileName(QStringLiteral("MangaFox.com"), QStringLiteral("/directory/shounen--ai/")),
        u"books_MangaFox_com__directory_shounen__ai_");
    EXPECT_EQ(NavBooksCache::fileName({}, {}), u"books__");

    ASSERT_TRUE(NavBooksCache::write({NavBook(QStringLiteral("A"), QStringLiteral("/a"))},
                                     QStringLiteral("S"), QStringLiteral("/popular/sci-fi")));
    // Same file: the two paths differ only in punctuation.
    EXPECT_TRUE(NavBooksCache::exists(QStringLiteral("S"), QStringLiteral("/popular/sci_fi")));
    EXPECT_EQ(NavBooksCache::books(QStringLiteral("S"), QStringLiteral("/popular.sci-fi")).size(), 1);
    EXPECT_FALSE(NavBooksCache::exists(QStringLiteral("S"), QStringLiteral("/popular/scifi")));
}

TEST_F(NavBooksCacheTest, DamagedFileReadsEmpty)
{
    const QString path = NavBooksCache::filePath(QStringLiteral("S"), QStringLiteral("/x"));
    ASSERT_TRUE(NavBooksCache::write({NavBook(QStringLiteral("A"), QStringLiteral("/a"))},
                                     QStringLiteral("S"), QStringLiteral("/x")));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("bplist00 not really");
    file.close();
    EXPECT_TRUE(NavBooksCache::exists(QStringLiteral("S"), QStringLiteral("/x")));
    EXPECT_TRUE(NavBooksCache::books(QStringLiteral("S"), QStringLiteral("/x")).isEmpty());
}

} // namespace
