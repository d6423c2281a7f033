#include <gtest/gtest.h>

#include "ChapterFixtures.h"

namespace {

struct ExpectedChapter {
    const char *title;
    const char *urlEnd;
    const char *number;
};

void expectChapters(const NavBaseChaptersFetcher &fetcher, const std::vector<ExpectedChapter> &expected)
{
    ASSERT_EQ(fetcher.chapters().size(), qsizetype(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        const NavChapter &chapter = fetcher.chapters()[qsizetype(i)];
        SCOPED_TRACE(i);
        EXPECT_EQ(chapter.title(), QString::fromUtf8(expected[i].title));
        EXPECT_TRUE(chapter.urlString().endsWith(QString::fromUtf8(expected[i].urlEnd)))
            << qPrintable(chapter.urlString());
        EXPECT_EQ(numberText(chapter), QString::fromUtf8(expected[i].number));
    }
}

QString fixtureRead(const char *path)
{
    const QString html = chapterFixture(QString::fromLatin1(path));
    EXPECT_FALSE(html.isEmpty()) << path;
    return html;
}

} // namespace

TEST(ChaptersParserMangaFoxTest, NewLayoutReadsAllFourPartsAndKeepsPageOrder)
{
    auto fetcher = readBookPage(QStringLiteral("mangafox"), fixtureRead("mangafox/book-new-layout.html"));
    ASSERT_FALSE(fetcher->error()) << qPrintable(fetcher->error()->message);
    // Names follow ": "; a blank name keeps the bare label; each volume's list is read.
    expectChapters(*fetcher, {{"Vol.2 Ch.12: Tom & Jerry's \"Day\"", "/v02/c012/1.html", "20012"},
                              {"Vol.2 Ch.11", "/v02/c011/", "20011"},
                              {"Vol.2 Ch.10.5", "/v02/c010.5/", "20010.5"},
                              {"Vol.1 Ch.3: The Beginning", "/v01/c003/1.html", "10003"}});
    const NavBookInfo &info = fetcher->navBookInfo();
    EXPECT_EQ(info.status, QStringLiteral("Ongoing"));
    EXPECT_EQ(info.rank, QStringLiteral("812th, it has 1,234 monthly views."));
    EXPECT_EQ(info.coverUrlString, QStringLiteral("http://img.example/store/manga/1/cover.jpg?v=2"));
    EXPECT_EQ(info.releaseDate, QStringLiteral("2009"));
    EXPECT_EQ(info.author, QStringLiteral("Ann Author"));
    EXPECT_EQ(info.artist, QStringLiteral("Art Ist"));
    EXPECT_EQ(info.genre, QStringLiteral("Action, Drama"));
    EXPECT_EQ(info.summary, QStringLiteral("First line of the story.\nSecond line.\n"));
    EXPECT_TRUE(info.license.isNull());
    EXPECT_TRUE(info.demographic.isNull());
}

TEST(ChaptersParserMangaFoxTest, OldLayoutAppendsTheNextRunAfterASpace)
{
    auto fetcher = readBookPage(QStringLiteral("mangafox"), fixtureRead("mangafox/book-old-layout.html"));
    expectChapters(*fetcher, {{"Vol.1 Ch.2 Second & Last", "/v01/c002/", "10002"},
                              {"Vol.1 Ch.1", "/v01/c001/", "10001"}});
    EXPECT_EQ(fetcher->navBookInfo().coverUrlString, QStringLiteral("http://img.example/manga/2/cover.jpg"));
}

TEST(ChaptersParserMangaFoxTest, PageWithoutChapterListFailsAndDropsDetails)
{
    auto fetcher =
        readBookPage(QStringLiteral("mangafox"), fixtureRead("mangafox/book-without-chapters.html"));
    ASSERT_TRUE(fetcher->error());
    EXPECT_EQ(*fetcher->error(), (Error{QStringLiteral("NavBaseChaptersFetcherErrorDomain"), 1,
                                        QStringLiteral("No chapters found")}));
    EXPECT_TRUE(fetcher->chapters().isEmpty());
}

TEST(ChaptersParserMangaReaderTest, ReadsCoverPropertiesAndSortsHighestFirst)
{
    auto fetcher = readBookPage(QStringLiteral("mangareader"), fixtureRead("mangareader/book.html"));
    ASSERT_FALSE(fetcher->error());
    // Page order is 1, 2, 10, extra; a trailing ":" goes, a name after it stays.
    expectChapters(*fetcher, {{"Sample 10", "/sample/10", "10"},
                              {"Sample 2: Tom & Jerry", "/sample/2", "2"},
                              {"Sample 1", "/sample/chapter-1.html", "1"},
                              {"Sample Extra", "/sample/extra", "0"}});
    const NavBookInfo &info = fetcher->navBookInfo();
    EXPECT_EQ(info.coverUrlString, QStringLiteral("http://img.example/cover/sample/sample-l0.jpg"));
    EXPECT_EQ(info.author, QStringLiteral("Park So Hee "));
    EXPECT_EQ(info.genre, QStringLiteral("Comedy Drama"));
    EXPECT_TRUE(info.status.isNull());
}

TEST(ChaptersParserMangaHereTest, SkipsCommentLinksAndStopsAtCommentArea)
{
    auto fetcher = readBookPage(QStringLiteral("mangahere"), fixtureRead("mangahere/book.html"));
    ASSERT_FALSE(fetcher->error());
    expectChapters(*fetcher, {{"Vol.2 Ch.4", "/v02/c004/", "20004"},
                              {"Vol.1 Ch.1", "/v01/c001/", "10001"},
                              {"Ch.3", "/sample/c003/", "3"}});
    const NavBookInfo &info = fetcher->navBookInfo();
    EXPECT_EQ(info.coverUrlString, QStringLiteral("http://img.example/store/manga/5/cover.jpg?v=1"));
    EXPECT_EQ(info.genre, QStringLiteral("Action, Comedy"));
    EXPECT_EQ(info.author, QStringLiteral("Xavier Author"));
    EXPECT_EQ(info.rank, QStringLiteral("369th"));
    EXPECT_EQ(info.summary, QStringLiteral("Full \"summary\" & more."));
    EXPECT_TRUE(info.status.isNull());
}

TEST(ChaptersParserOneMangaTest, ReadsShiftedSeriesInfoLicenceCoverAndTable)
{
    auto fetcher = readBookPage(QStringLiteral("onemanga"), fixtureRead("onemanga/book.html"));
    ASSERT_FALSE(fetcher->error());
    expectChapters(*fetcher, {{"Sample Series 3: Finale", "/Sample_Series/3/", "3"},
                              {"Sample Series 1", "/Sample_Series/1/", "1"},
                              {"Sample Series 2", "/Sample_Series/2/", "2"}});
    const NavBookInfo &info = fetcher->navBookInfo();
    EXPECT_EQ(info.rank, QStringLiteral("42"));
    EXPECT_EQ(info.genre, QStringLiteral("Action, Drama"));
    EXPECT_EQ(info.author, QStringLiteral("Ann Author"));
    EXPECT_EQ(info.artist, QStringLiteral("Art Ist"));
    EXPECT_EQ(info.summary, QStringLiteral("A long story."));
    EXPECT_EQ(info.license, QStringLiteral("This series has been licensed."));
    EXPECT_EQ(info.coverUrlString, QStringLiteral("http://img.example/series/sample/logo.jpg"));
}

TEST(ChaptersParserOneMangaTest, SeriesInfoHeaderMustMatchExactlyButForCase)
{
    const QString table = QStringLiteral("<table class=\"ch-table\"><tr><td class=\"ch-subject\">"
                                         "<a href=\"/S/1/\">S 1</a></td></tr></table>");
    const QString block = QStringLiteral("<h3>%1</h3><p>OM Rank:</p><p>7</p><p>Categories:</p></div>");
    for (const auto &[header, rank] : {std::pair{"SERIES info", "7"}, std::pair{" Series Info\n", ""}}) {
        auto fetcher = readBookPage(QStringLiteral("onemanga"), block.arg(QLatin1String(header)) + table);
        EXPECT_EQ(fetcher->navBookInfo().rank, QString::fromLatin1(rank)) << header;
    }
}

TEST(ChaptersParserTest, EmptyOrForeignPagesGiveNoChaptersForEverySite)
{
    for (const char *site : {"mangafox", "mangareader", "mangahere", "onemanga"}) {
        // A page with no text at all never reaches the parser (see
        // SavedChapterPagesTest); one with nothing in it does.
        for (const QString &html : {QStringLiteral("<html><body></body></html>"),
                                    QStringLiteral("<html><body><a href=\"/manga/x/c001/\">"
                                                   "x</a><table><tr><td>1</td></tr></table>")}) {
            auto fetcher = readBookPage(QString::fromLatin1(site), html);
            ASSERT_TRUE(fetcher->error()) << site;
            EXPECT_EQ(fetcher->error()->code, NavBaseChaptersFetcher::cannotFindChaptersError().code) << site;
        }
    }
}
