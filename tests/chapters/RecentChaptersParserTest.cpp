#include <thread>

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "ChapterFixtures.h"
#include "catalogue/SiteRegistry.h"
#include "files/MyDirectories.h"
#include "store/AppData.h"

namespace {

struct ExpectedRelease {
    const char *book;
    const char *title;
    const char *urlEnd;
    const char *number;
    const char *date;
};

void expectReleases(const NavRecentChaptersFetcher &fetcher, const std::vector<ExpectedRelease> &expected)
{
    ASSERT_TRUE(fetcher.checkResults() || expected.empty());
    ASSERT_EQ(fetcher.chapters().size(), qsizetype(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        const qsizetype at = qsizetype(i);
        SCOPED_TRACE(i);
        EXPECT_EQ(fetcher.books()[at].title(), QString::fromUtf8(expected[i].book));
        EXPECT_TRUE(fetcher.books()[at].urlString().isEmpty());
        EXPECT_EQ(fetcher.chapters()[at].title(), QString::fromUtf8(expected[i].title));
        EXPECT_TRUE(fetcher.chapters()[at].urlString().endsWith(QString::fromUtf8(expected[i].urlEnd)));
        EXPECT_EQ(numberText(fetcher.chapters()[at]), QString::fromUtf8(expected[i].number));
        EXPECT_EQ(fetcher.dates()[at], QString::fromUtf8(expected[i].date));
    }
}

std::shared_ptr<NavRecentChaptersFetcher> latest(const char *site, const char *file,
                                                 const QStringList &favorites = {})
{
    const QString html = chapterFixture(QString::fromLatin1(site) + u'/' + QString::fromLatin1(file));
    EXPECT_FALSE(html.isEmpty());
    return readLatestPage(QString::fromLatin1(site), html, favorites);
}

} // namespace

TEST(RecentChaptersParserTest, MangaFoxKeepsFavouritesButNotPhraseMatches)
{
    {
        // Naruto is in the licensed table, Pokemon matches a phrase, Bleach is
        // licensed and no favourite.
        auto fetcher = latest("mangafox", "latest.html",
                              {QStringLiteral("NARUTO"), QStringLiteral("Pokemon Adventures")});
        ASSERT_FALSE(fetcher->error());
        expectReleases(*fetcher, {{"Naruto", "Vol.50 Ch.470", "/v50/c470/1.html", "500470", "Today"},
                                  {"Naruto", "Vol.50 Ch.469", "/v50/c469/1.html", "500469", "Today"},
                                  {"Sample Book", "Ch.12", "/c012/1.html", "12", "Yesterday"}});
        EXPECT_EQ(fetcher->labels(), QStringList(3, QString()));
    }
    auto unfiltered = latest("mangafox", "latest.html");
    expectReleases(*unfiltered, {{"Sample Book", "Ch.12", "/c012/1.html", "12", "Yesterday"}});
}

TEST(RecentChaptersParserTest, MangaFoxChapterBeforeAnyDateFailsThePage)
{
    auto fetcher = latest("mangafox", "latest-chapter-before-date.html");
    ASSERT_TRUE(fetcher->error());
    EXPECT_EQ(fetcher->error()->code, NavBaseChaptersFetcher::cannotFindChaptersError().code);
    EXPECT_EQ(fetcher->error()->message, QStringLiteral("No chapters found"));
    EXPECT_FALSE(fetcher->checkResults());
}

TEST(RecentChaptersParserTest, MangaReaderReleasesARowsChaptersAtItsDate)
{
    auto fetcher = latest("mangareader", "latest.html");
    ASSERT_FALSE(fetcher->error());
    expectReleases(*fetcher, {{"Tantei Gakuen Q", "Tantei Gakuen Q 144", "/tantei/144", "144", "Today"},
                              {"Tantei Gakuen Q", "Tantei Gakuen Q 143", "/tantei/143", "143", "Today"},
                              {"Fire Punch", "Fire Punch 42", "/fire/chapter-42.html", "42", "08/20/2011"}});
}

TEST(RecentChaptersParserTest, MangaHereCleansBookTitlesAndReadsOnlyItsBlock)
{
    auto fetcher = latest("mangahere", "latest.html");
    ASSERT_FALSE(fetcher->error());
    // The block holds divs of its own; the titled link in the footer after
    // it is no release.
    expectReleases(*fetcher,
                   {{"Tom & Jerry\"Chase\"", "Vol.2 Ch.48", "/v02/c048/", "20048", "Today 06:27am"},
                    {"Tom & Jerry\"Chase\"", "Vol.2 Ch.47.5", "/v02/c047.5/", "20047.5", "Today 06:27am"},
                    {"Beauty Game", "Ch.10", "/beauty/c010/", "10", "Yesterday"}});
}

TEST(RecentChaptersParserTest, OneMangaSplitsLinkTextAndKeepsFirstChapterOfARange)
{
    auto fetcher = latest("onemanga", "latest.html");
    ASSERT_FALSE(fetcher->error());
    // The row without "Chapter" between spaces adds nothing; a row without a
    // date cell keeps the date in force.
    expectReleases(
        *fetcher,
        {{"Tom 'n' \"Jerry\"", "Tom &#39;n&#39; &quot;Jerry&quot; 12", "/Tom_&amp;_Jerry/12/", "12", "Today"},
         {"Sample Series", "Sample Series 3", "/Sample_Series/3/", "3", "Today"},
         {"Sample Series", "Sample Series 2.5: Extra", "/Sample_Series/2.5/", "2.5", "Mar 1, 2010"}});
    EXPECT_EQ(fetcher->labels()[0], QStringLiteral("Tom &#39;n&#39; &quot;Jerry&quot; Chapter 12 - 14"));
}

TEST(RecentChaptersParserTest, PagesWithoutReleasesBlockFailForEverySite)
{
    const QString page = QStringLiteral("<ul><li><a class=\"chapter\" title=\"x\" href=\"/x/c001/\">x</a>"
                                        "<em>Today</em><td class=\"c1\">Today</td></li></ul>");
    for (const char *site : {"mangafox", "mangareader", "mangahere", "onemanga"}) {
        auto fetcher = readLatestPage(QString::fromLatin1(site), page);
        ASSERT_TRUE(fetcher->error()) << site;
        EXPECT_EQ(fetcher->error()->code, NavBaseChaptersFetcher::cannotFindChaptersError().code) << site;
    }
}

TEST(RecentChaptersParserTest, FavouritesComeFromTheStoreThroughTheFetchThreadsOwnContext)
{
    QTemporaryDir root;
    MyDirectories::setRootDirectory(root.path());
    MyDirectories::sharedMyDirectories().createDirectories();
    {
        AppData appData;
        ASSERT_TRUE(appData.setup());
        appData.createFavoriteWithTitle(QStringLiteral("Naruto"), QStringLiteral("/manga/naruto/"),
                                        siteAddress(QStringLiteral("mangafox")), QStringLiteral("mangafox"));
        ASSERT_FALSE(appData.save());

        NavRecentChaptersFetcher::setFavoriteTitlesProvider(
            [&] { return NavRecentChaptersFetcher::favoriteTitles(appData); });
        auto fetcher = SiteRegistry::navRecentChaptersFetcherWithURLString(
            siteAddress(QStringLiteral("mangafox")), nullptr);
        const QString page = chapterFixture(QStringLiteral("mangafox/latest.html"));
        bool read = false;
        // As on a fetch queue: the main thread is not asked for anything.
        std::thread worker([&] { read = fetcher->readPage(page); });
        worker.join();
        ASSERT_TRUE(read);
        NavRecentChaptersFetcher::setFavoriteTitlesProvider({});
        EXPECT_EQ(fetcher->chapters().size(), 3);
        EXPECT_EQ(fetcher->books().first().title(), QStringLiteral("Naruto"));
    }
    MyDirectories::setRootDirectory({});
}
