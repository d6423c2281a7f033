#include <gtest/gtest.h>

#include "catalogue/SiteRegistry.h"
#include "web/URLParser.h"
#include "sites/mangafox/URLParserMangaFox.h"
#include "sites/mangahere/URLParserMangaHere.h"
#include "sites/mangareader/URLParserMangaReader.h"
#include "sites/onemanga/URLParserOneManga.h"

namespace {

struct Case {
    const char *url;
    const char *root; // nullptr: null
    const char *title;
    const char *volume;
    const char *chapter;
    const char *label;
    const char *number;
};

QString q(const char *s)
{
    return s ? QString::fromUtf8(s) : QString();
}

TEST(URLParserTest, SitePatterns)
{
    const Case cases[] = {
        // Volume and chapter, with and without the first page, read the same.
        {"http://www.mangafox.com/manga/naruto/v05/c012/1.html", "mangafox", "naruto", "05", "012",
         "Vol.5 Ch.12", "50012"},
        {"http://www.mangafox.com/manga/naruto/v05/c012/", "mangafox", "naruto", "05", "012", "Vol.5 Ch.12",
         "50012"},
        {"http://www.mangahere.com/manga/rinne/v02/c010.5/", "mangahere", "rinne", "02", "010.5",
         "Vol.2 Ch.10.5", "20010.5"},
        {"http://www.mangafox.com/manga/naruto/c012/", "mangafox", "naruto", nullptr, "012", "Ch.12", "12"},
        // "1.html" is matched with an any-character dot.
        {"http://www.mangafox.com/manga/naruto/c012/1xhtml", "mangafox", "naruto", nullptr, "012", "Ch.12",
         "12"},
        // A volume that is no number leaves the bare chapter.
        {"http://www.mangahere.com/manga/rinne/vTBD/c003/", "mangahere", "rinne", "TBD", "003", "Ch.3", "3"},
        {"http://www.mangafox.com/manga/naruto/", "mangafox", nullptr, nullptr, nullptr, "Ch.", "0"},
        {"http://www.mangareader.net/103-2098-1/goong/chapter-7.html", nullptr, "goong", nullptr, "7", "Ch.7",
         "7"},
        {"http://www.mangareader.net/goong/7", nullptr, "goong", nullptr, "7", "Ch.7", "7"},
        {"http://www.mangareader.net/goong/extra", nullptr, nullptr, nullptr, nullptr, "Ch.", "0"},
        {"http://www.onemanga.com/Bleach/356/", "onemanga", "Bleach", nullptr, "356", "Ch.356", "356"},
        {"http://www.onemanga.com//Bleach//356.5/", "onemanga", "Bleach", nullptr, "356.5", "Ch.356.5",
         "356.5"},
        {"http://www.onemanga.com/Bleach/356", "onemanga", nullptr, nullptr, nullptr, "Ch.", "NaN"},
        {"http://www.onemanga.com/Bleach/extra/", "onemanga", "Bleach", nullptr, "extra", "Ch.extra", "NaN"},
        {"https://www.mangafox.com/manga/naruto/c001/", "mangafox", "naruto", nullptr, "001", "Ch.1", "1"},
        {"https://www.mangareader.net/goong/7", nullptr, "goong", nullptr, "7", "Ch.7", "7"},
        {"https://www.onemanga.com/Bleach/356/", "onemanga", "Bleach", nullptr, "356", "Ch.356", "356"},
        // Other host forms still parse; only the root stays null.
        {"http://mangafox.me/manga/naruto/c001/", nullptr, "naruto", nullptr, "001", "Ch.1", "1"},
        // Site words are found in any letter case.
        {"http://www.MangaHere.com/manga/rinne/c004/", "MangaHere", "rinne", nullptr, "004", "Ch.4", "4"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.url);
        auto p = SiteRegistry::urlParserWithURLString(q(c.url));
        ASSERT_TRUE(p);
        EXPECT_EQ(p->urlString(), q(c.url));
        EXPECT_EQ(p->root(), q(c.root));
        EXPECT_EQ(p->root().isNull(), c.root == nullptr);
        EXPECT_EQ(p->title(), q(c.title));
        EXPECT_EQ(p->volume().isNull(), c.volume == nullptr);
        EXPECT_EQ(p->volume(), q(c.volume));
        EXPECT_EQ(p->chapter().isNull(), c.chapter == nullptr);
        EXPECT_EQ(p->chapter(), q(c.chapter));
        EXPECT_EQ(p->chapterTitle(), q(c.label));
        EXPECT_EQ(p->adjustedChapterNumber().toString(), q(c.number));
    }
}

TEST(URLParserTest, ChoosingTheSite)
{
    auto kind = [](const std::unique_ptr<URLParser> &p) -> std::string {
        if (!p)
            return "none";
        if (dynamic_cast<URLParserOneManga *>(p.get()))
            return "onemanga";
        if (dynamic_cast<URLParserMangaFox *>(p.get()))
            return "mangafox";
        if (dynamic_cast<URLParserMangaReader *>(p.get()))
            return "mangareader";
        return dynamic_cast<URLParserMangaHere *>(p.get()) ? "mangahere" : "other";
    };
    const QString chapterURL = QStringLiteral("http://127.0.0.1:8080/manga/rinne/v01/c002/");
    EXPECT_EQ(kind(SiteRegistry::urlParserWithURLString(QStringLiteral("http://WWW.MANGAREADER.NET/x/1"))),
              "mangareader");
    // The first word wins, in the fixed order.
    EXPECT_EQ(
        kind(SiteRegistry::urlParserWithURLString(QStringLiteral("http://www.mangahere.com/onemanga/1/"))),
        "onemanga");
    EXPECT_EQ(kind(SiteRegistry::urlParserWithURLString(chapterURL)), "none");
    EXPECT_EQ(kind(SiteRegistry::urlParserWithRoot(QStringLiteral("nowhere"), chapterURL)), "none");

    auto p = SiteRegistry::urlParserWithRoot(QStringLiteral("MangaHere"), chapterURL);
    EXPECT_EQ(kind(p), "mangahere");
    EXPECT_TRUE(p->root().isNull()); // taken from the address, not the key
    EXPECT_EQ(p->chapterTitle(), u"Vol.1 Ch.2");
    EXPECT_EQ(p->adjustedChapterNumber(), Decimal(10002));
}

TEST(URLParserTest, VolumesSortAboveUnnumberedChapters)
{
    auto number = [](const char *url) {
        return SiteRegistry::urlParserWithURLString(QString::fromUtf8(url))->adjustedChapterNumber();
    };
    EXPECT_LT(number("http://www.mangafox.com/manga/a/c999/"),
              number("http://www.mangafox.com/manga/a/v1/c1/"));
    EXPECT_LT(number("http://www.mangafox.com/manga/a/v1/c1/"),
              number("http://www.mangafox.com/manga/a/v1/c1.5/"));
    EXPECT_LT(number("http://www.mangafox.com/manga/a/v1/c9999/"),
              number("http://www.mangafox.com/manga/a/v2/c0/"));
}

TEST(URLParserTest, BaseClassRefuses)
{
    try {
        URLParser::create<URLParser>(QStringLiteral("http://www.mangafox.com/manga/a/c1/"));
        FAIL() << "no exception";
    } catch (const URLParserException &e) {
        EXPECT_EQ(e.reason(), u"Override parse");
        EXPECT_STREQ(URLParserException::name(), "URLParserException");
    }
    URLParser bare;
    EXPECT_THROW(bare.adjustedChapterNumber(), URLParserException);
}

} // namespace
