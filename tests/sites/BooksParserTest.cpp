#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QDir>
#include <QFile>

#include "sites/mangafox/BooksParserDelegateMangaFox.h"
#include "sites/mangahere/BooksParserDelegateMangaHere.h"
#include "sites/mangareader/BooksParserDelegateMangaReader.h"
#include "sites/mangareader/BooksParserDelegateMangaReaderPopular.h"
#include "sites/onemanga/BooksParserDelegateOneManga.h"
#include "sites/LicensedBooksFilter.h"

namespace {

QString readPage(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString fixture(const char *name)
{
    return readPage(QStringLiteral(YOMORA_TEST_DATA_DIR "/sites/") + QString::fromUtf8(name));
}

using ParserFactory = std::function<std::unique_ptr<BooksParserDelegate>()>;
template <class T> ParserFactory parser()
{
    return [] { return std::make_unique<T>(); };
}

QList<NavBook> parse(const ParserFactory &make, const QString &html)
{
    auto p = make();
    p->parsePage(html);
    return p->navBooks();
}

struct Expected {
    const char *title;
    const char *url;
    const char *rank = nullptr;
};

struct PageCase {
    const char *page;
    ParserFactory make;
    std::vector<Expected> books;
};

TEST(BooksParserTest, FixturePages)
{
    const PageCase cases[] = {
        {"mangafox/directory-listing.html",
         parser<BooksParserDelegateMangaFox>(),
         {{"Kissxsis", "http://www.mangafox.com/manga/kissxsis/?no_warning=1"},
          {"Ane Doki", "http://www.mangafox.com/manga/ane_doki/?no_warning=1"},
          {"Tom &amp; Jerry", "http://www.mangafox.com/manga/tom_jerry/?no_warning=1"},
          {"After Empty", "http://www.mangafox.com/manga/after_empty/?no_warning=1"},
          {"Bleach", "http://www.mangafox.com/manga/bleach/?no_warning=1"},
          {"Footer Book", "/manga/footer_book/?no_warning=1"}}},
        {"mangafox/mangalist-block.html",
         parser<BooksParserDelegateMangaFox>(),
         {{"One Punch", "http://www.mangafox.com/manga/one_punch/?no_warning=1"}}},
        {"mangafox/book-links-without-listing.html", parser<BooksParserDelegateMangaFox>(), {}},
        {"mangareader/alphabetical.html",
         parser<BooksParserDelegateMangaReader>(),
         {{"Ai Kora", "/ai-kora"},
          {"Air Gear", "/air-gear"},
          {"Akame ga Kill!", "/akame-ga-kill"},
          {"Zetman", "/zetman"},
          {"Zombie-Loan", "/zombie-loan"}}},
        {"mangareader/popular.html",
         parser<BooksParserDelegateMangaReaderPopular>(),
         {{"Goong", "/103/goong.html"}, {"Naruto", "/naruto"}, {"One Piece Alt", "/one-piece"}}},
        // The popular layout means nothing to the directory parser and back.
        {"mangareader/popular.html", parser<BooksParserDelegateMangaReader>(), {}},
        {"mangareader/alphabetical.html", parser<BooksParserDelegateMangaReaderPopular>(), {}},
        {"mangahere/directory.html",
         parser<BooksParserDelegateMangaHere>(),
         {{"Kimi to Boku's \"Day\" &amp; Night", "http://www.mangahere.com/manga/kimi_to_boku/"},
          {"Toradora!", "http://www.mangahere.com/manga/toradora/"},
          {"Upper Class", "http://www.mangahere.com/manga/upper/"},
          {"Bleach", "http://www.mangahere.com/manga/bleach/"}}},
        {"mangahere/search-without-results.html", parser<BooksParserDelegateMangaHere>(), {}},
        {"onemanga/directory.html",
         parser<BooksParserDelegateOneManga>(),
         {{"Kimi's \"Day\"", "/Kimi_ni_Todo/", "12"},
          {"Toradora!", "/Toradora/", "3"},
          {"No Rank", "/No_Rank/"},
          {"Bleach", "/Bleach/", "1"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.page);
        const QString html = fixture(c.page);
        ASSERT_FALSE(html.isEmpty());
        const auto books = parse(c.make, html);
        ASSERT_EQ(size_t(books.size()), c.books.size());
        for (size_t i = 0; i < c.books.size(); ++i) {
            EXPECT_EQ(books[i].title(), QString::fromUtf8(c.books[i].title));
            EXPECT_EQ(books[i].urlString(), QString::fromUtf8(c.books[i].url));
            EXPECT_EQ(books[i].rank().isNull(), c.books[i].rank == nullptr) << i;
            if (c.books[i].rank) {
                EXPECT_EQ(books[i].rank(), QString::fromUtf8(c.books[i].rank));
            }
        }
    }
}

// Pages saved from the sites themselves, when the checkout has them
// ($YOMORA_REAL_PAGES_DIR points elsewhere, e.g. from a second worktree).
class RealPagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QDir(dir()).exists())
            GTEST_SKIP() << "no real pages at " << dir().toStdString();
    }
    static QString dir()
    {
        const QString env = qEnvironmentVariable("YOMORA_REAL_PAGES_DIR");
        return env.isEmpty() ? QStringLiteral(YOMORA_REAL_PAGES_DIR) : env;
    }
    static QString page(const char *name) { return readPage(dir() + u'/' + QString::fromUtf8(name)); }
};

TEST_F(RealPagesTest, SearchResultsAndDirectoryAreRead)
{
    const auto found = parse(parser<BooksParserDelegateMangaHere>(), page("mangahere/search-1.html"));
    ASSERT_EQ(found.size(), 20);
    EXPECT_EQ(found.first(), NavBook(QStringLiteral("A or ABC"),
                                     QStringLiteral("http://www.mangahere.com/manga/a_or_abc/")));
    EXPECT_EQ(found[7].title(), u"Absorb; Ability");
    // Two of the results are licensed.
    EXPECT_EQ(LicensedBooksFilter(found).filteredNavBooks().size(), 18);

    const auto all =
        parse(parser<BooksParserDelegateMangaReader>(), page("mangareader/clone-mangapanda-mangas.html"));
    ASSERT_EQ(all.size(), 4404);
    EXPECT_EQ(all.first(), NavBook(QStringLiteral("Junjou Drop"), QStringLiteral("/junjou-drop")));
    EXPECT_EQ(all.last().title(), u"Zyklus;Code");
    for (const auto &book : all)
        ASSERT_FALSE(book.title().isEmpty() || book.urlString().isEmpty()) << book.urlString().toStdString();
}

TEST_F(RealPagesTest, OtherPagesYieldNoBooks)
{
    // Book, reader and latest-release pages, and later layouts, hold no list
    // these parsers know: the fetch must end in "Unable to find mangas".
    const std::pair<const char *, ParserFactory> pages[] = {
        {"mangafox/latest-1.html", parser<BooksParserDelegateMangaFox>()},
        {"mangafox/book-4.html", parser<BooksParserDelegateMangaFox>()},
        {"mangahere/book-1.html", parser<BooksParserDelegateMangaHere>()},
        {"mangahere/latest-1.html", parser<BooksParserDelegateMangaHere>()},
        {"mangareader/book-4.html", parser<BooksParserDelegateMangaReaderPopular>()},
        {"mangareader/clone-mangapanda-latest.html", parser<BooksParserDelegateMangaReader>()},
    };
    for (const auto &[name, make] : pages) {
        const QString html = page(name);
        ASSERT_FALSE(html.isEmpty()) << name;
        EXPECT_TRUE(parse(make, html).isEmpty()) << name;
    }
}

} // namespace
