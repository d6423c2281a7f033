// The parsers over pages saved from the sites themselves, when the shared
// collection of such pages is present on this machine.
#include <gtest/gtest.h>

#include "ChapterFixtures.h"

namespace {

QString realPage(const char *path)
{
    QFile file(QStringLiteral(YOMORA_REAL_PAGES_DIR "/") + QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

#define REAL_PAGE_OR_SKIP(var, path)                                                                         \
    const QString var = realPage(path);                                                                      \
    if (var.isEmpty())                                                                                       \
    GTEST_SKIP() << "no saved page " << path

bool highestFirst(const QList<NavChapter> &chapters)
{
    for (qsizetype i = 1; i < chapters.size(); ++i)
        if (chapters[i - 1].compare(chapters[i]) > 0)
            return false;
    return true;
}

} // namespace

TEST(RealBookPagesTest, MangaFox)
{
    REAL_PAGE_OR_SKIP(html, "mangafox/book-4.html");
    auto fetcher = readBookPage(QStringLiteral("mangafox"), html);
    ASSERT_EQ(fetcher->chapters().size(), 54);
    EXPECT_EQ(fetcher->chapters().first().title(), QStringLiteral("Ch.54: Cocoon [END]"));
    EXPECT_EQ(numberText(fetcher->chapters().last()), QStringLiteral("1"));
    const NavBookInfo &info = fetcher->navBookInfo();
    EXPECT_EQ(info.status, QStringLiteral("Completed"));
    EXPECT_EQ(info.author, QStringLiteral("Han Yan"));
    EXPECT_EQ(info.genre, QStringLiteral("Action, Comedy, Fantasy, Martial Arts, Shounen"));
    EXPECT_EQ(info.releaseDate, QStringLiteral("2015"));
    EXPECT_TRUE(info.summary.startsWith(QStringLiteral("[Summary by OSTNT] In a world")));
    EXPECT_TRUE(info.coverUrlString.contains(QStringLiteral("/15973/cover.jpg")));
}

TEST(RealBookPagesTest, MangaHere)
{
    REAL_PAGE_OR_SKIP(html, "mangahere/book-1.html");
    auto fetcher = readBookPage(QStringLiteral("mangahere"), html);
    ASSERT_FALSE(fetcher->chapters().isEmpty());
    EXPECT_EQ(fetcher->chapters().first().title(), QStringLiteral("Vol.11 Ch.105"));
    EXPECT_EQ(numberText(fetcher->chapters().first()), QStringLiteral("110105"));
    EXPECT_EQ(fetcher->chapters().last().title(), QStringLiteral("Vol.1 Ch.1"));
    EXPECT_TRUE(highestFirst(fetcher->chapters()));
    const NavBookInfo &info = fetcher->navBookInfo();
    EXPECT_EQ(info.author, QStringLiteral("Takahashi Rumiko"));
    EXPECT_EQ(info.rank, QStringLiteral("369th"));
    EXPECT_TRUE(info.genre.startsWith(QStringLiteral("Action, Adventure, Comedy")));
    EXPECT_TRUE(info.summary.endsWith(QStringLiteral("between life and death!&nbsp;")));
}

TEST(RealBookPagesTest, MangaReader)
{
    REAL_PAGE_OR_SKIP(html, "mangareader/book-4.html");
    auto fetcher = readBookPage(QStringLiteral("mangareader"), html);
    ASSERT_EQ(fetcher->chapters().size(), 140);
    EXPECT_EQ(fetcher->chapters().first().title(), QStringLiteral("Goong 140"));
    EXPECT_EQ(fetcher->chapters().last().title(), QStringLiteral("Goong 1"));
    EXPECT_TRUE(highestFirst(fetcher->chapters()));
    EXPECT_EQ(fetcher->navBookInfo().author, QStringLiteral("Park So Hee "));
    EXPECT_EQ(fetcher->navBookInfo().coverUrlString,
              QStringLiteral("http://s1.mangareader.net/cover/goong/goong-l0.jpg"));
}

TEST(RealLatestPagesTest, EverySiteGivesParallelListsFromItsBlockOnly)
{
    struct Release {
        const char *book;
        const char *title;
        const char *date;
    };
    struct Case {
        const char *site;
        const char *path;
        int releases;
        Release first;
        Release last; // the block's own last release, not a link after it
    };
    for (const Case &c : {Case{"mangafox",
                               "mangafox/latest-1.html",
                               97,
                               {"Shana oh Yoshitsune", "Vol.15 Ch.63", "Today"},
                               {"Dungeon Meshi", "Vol.3 Ch.28.5", "Yesterday"}},
                          Case{"mangahere",
                               "mangahere/latest-1.html",
                               197,
                               {"The Love Doctor", "Ch.48", "Today 06:27am"},
                               {"Gekkan Shoujo Nozaki-Kun", "Vol.1 Ch.84.5", "Mar 15, 2017 02:52am"}},
                          Case{"mangareader",
                               "mangareader/clone-mangapanda-latest.html",
                               138,
                               {"Tantei Gakuen Q", "Tantei Gakuen Q 144", "Today"},
                               {"I The Female Robot", "I The Female Robot 64", "27 Feb 2017"}}}) {
        const QString html = realPage(c.path);
        if (html.isEmpty())
            continue;
        SCOPED_TRACE(c.site);
        auto fetcher = readLatestPage(QString::fromLatin1(c.site), html);
        ASSERT_TRUE(fetcher->checkResults());
        ASSERT_EQ(fetcher->chapters().size(), c.releases);
        for (const auto &[at, expected] : {std::pair{qsizetype(0), c.first}, {c.releases - 1, c.last}}) {
            EXPECT_EQ(fetcher->books()[at].title(), QString::fromUtf8(expected.book));
            EXPECT_EQ(fetcher->chapters()[at].title(), QString::fromUtf8(expected.title));
            EXPECT_EQ(fetcher->dates()[at], QString::fromUtf8(expected.date));
        }
        // The licensed-title filter has run: the licensed series on these pages are gone.
        for (const NavBook &book : fetcher->books())
            EXPECT_NE(book.title().toLower(), QStringLiteral("gintama"));
    }
}
