#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "catalogue/SiteRegistry.h"
#include "deduction/ImageParserDelegate.h"
#include "sites/onemanga/OneMangaPrePageParserDelegate.h"
#include "deduction/SelectPagesParserDelegate.h"
#include "sites/SiteConfig.h"
#include "web/HyperParser.h"
#include "web/PageTextFetcher.h"

namespace {

template <class Delegate> void feed(Delegate &delegate, const QString &html)
{
    HyperParser parser(html);
    parser.setDelegate(&delegate);
    parser.parse();
}

TEST(SelectPagesParserTest, ReadsOnlyTheFirstPageSelector)
{
    SelectPagesParserDelegate d;
    feed(d,
         QStringLiteral("<select onchange=\"change_chapter(this)\"><option value=\"c1\">1</option></select>"
                        "<select class=\"wid60\" onchange=\"change_page(this)\">"
                        "<option value=\" a&amp;b \">1</option><option>no value</option>"
                        "<option value=\"2.html\">2</option></select>"
                        "<SELECT name=\"pageMenu\"><option value=\"x\">x</option></SELECT>"
                        "<select name=\"pageMenu\"><option value=\"again\">1</option></select>"));
    // Values stay exactly as written; options without a value are skipped.
    EXPECT_EQ(d.pages(), QStringList({QStringLiteral(" a&amp;b "), QStringLiteral("2.html")}));
    EXPECT_FALSE(d.isMatureContent());
}

TEST(SelectPagesParserTest, RecognisesEachSitesSelector)
{
    const struct {
        const char *attributes;
        bool accepted;
    } cases[] = {
        {"onchange=\"Change_Page(this, 'x')\"", true},
        {"onchange=\"jsPage('goto',this.value,'.html')\"", true},
        {"name=\"pageMenu\"", true},
        {"name=\"pagemenu\"", false},
        {"onchange=\"jsPage('goto', this.value,'.html')\"", false},
        {"id=\"pageMenu\" onchange=\"goto(this)\"", false},
        {"", false},
    };
    for (const auto &c : cases) {
        SelectPagesParserDelegate d;
        feed(d, QStringLiteral("<select %1><option value=\"1\">1</option></select>")
                    .arg(QLatin1String(c.attributes)));
        EXPECT_EQ(!d.pages().isEmpty(), c.accepted) << c.attributes;
    }
}

TEST(SelectPagesParserTest, MatureNoticeIsTheFirstTextOfAParagraphAfterTheWarning)
{
    const struct {
        const char *html;
        bool mature;
    } cases[] = {
        {"<div class=\"wrong\"><p>The manga is regarded as 'MATURE' by us</p></div>", true},
        {"<p>x</p><div class=\"wrong\"></div><h2>Hi</h2><p>no</p><p>The manga is regarded as 'mature'</p>",
         true},
        // Notice text outside a paragraph, or not the paragraph's first text.
        {"<div class=\"wrong\">The manga is regarded as 'mature'</div>", false},
        {"<div class=\"wrong\"><p><b>Note:</b> The manga is regarded as 'mature'</p></div>", false},
        {"<div class=\"warning\"><p>The manga is regarded as 'mature'</p></div>", false},
    };
    for (const auto &c : cases) {
        SelectPagesParserDelegate d;
        feed(d, QString::fromUtf8(c.html));
        EXPECT_EQ(d.isMatureContent(), c.mature) << c.html;
    }
}

TEST(ImageParserTest, ImagesCarryTheirEnclosingLink)
{
    SiteConfig::clearOverrides();
    ImageParserDelegate d;
    feed(d, QStringLiteral(
                "<img src=\"http://x/store/manga/1/a.jpg\">"
                "<a href=\"2.html\"><img src=\"http://x/store/manga/1/b.jpg\"></a>"
                "<a href=\"3.html\"></a><a name=\"top\"><img src=\"http://x/store/manga/1/c.jpg\"></a>"
                "<a href=\"4.html\"><a><img src=\"http://x/store/manga/1/d.jpg\"/></a>"
                "<img src=\"http://x/logo.png\"><img alt=\"no source\">"));
    ASSERT_EQ(d.images().size(), 4);
    EXPECT_TRUE(d.images()[0].parentLink.isNull());
    EXPECT_EQ(d.images()[1].parentLink, u"2.html");
    // The end of the earlier link emptied its address.
    EXPECT_EQ(d.images()[2].parentLink, u"");
    EXPECT_FALSE(d.images()[2].parentLink.isNull());
    // A link without an address keeps the one before it.
    EXPECT_EQ(d.images()[3].parentLink, u"4.html");
    EXPECT_EQ(d.images()[3].src, u"http://x/store/manga/1/d.jpg");
}

TEST(ImageParserTest, RecognisesEverySitesImages)
{
    SiteConfig::clearOverrides();
    const ImageParserDelegate d;
    const struct {
        const char *src;
        bool manga;
    } cases[] = {
        {"http://img.mangafox.com/store/x.png", true},
        {"http://h.mfcdn.net/store/manga/15973/042.0/compressed/k001.jpg?token=e", true},
        {"http://c.mhcdn.net/store/manga/5793/01-002.0/Compressed/r01.jpg", true},
        {"http://cdn.example/MANGA/compressed/1.png", true},
        {"http://i10.mangareader.net/goong/1/goong-678205.jpg", true},
        {"http://i10.mangareaderXnet/goong/1/goong-678205.jpg", true}, // the host's dots match anything
        {"http://i10.mangareader.net/goong/goong-678205.jpg", false},
        {"http://i10.mangareader.net/goong/1/goong-678205.jpg?x", false},
        {"http://h.mfcdn.net/store/mfbanners/pc.read.jpg", false},
        {"http://www.mangafox.com/media/logo.gif", false},
        {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(d.isMangaImageWithSource(QString::fromUtf8(c.src)), c.manga) << c.src;
    EXPECT_FALSE(d.isMangaImageWithSource(QString()));
}

TEST(OneMangaPrePageParserTest, FindsTheLastBeginReadingLink)
{
    OneMangaPrePageParserDelegate d;
    feed(d, QStringLiteral("<a href=\"/a/\"><span>Begin reading</span></a>"
                           "<a href=\"/b/\">  begin READING now</a><a>Begin reading</a>"
                           "<a href=\"/c/\">Chapter list</a>Begin reading"));
    EXPECT_EQ(d.firstPageURLString(), u"/b/");
    OneMangaPrePageParserDelegate none;
    feed(none,
         QStringLiteral(
             "<p>Begin reading</p><a href=\"/x/\"><img src=\"go.png\"><span>Go</span> Begin reading</a>"));
    EXPECT_TRUE(none.firstPageURLString().isNull());
}

// yomora-cli pages asks the registry what the deducers read; a cover page is
// read only for a site whose chapters start on one.
TEST(PageParsersTest, TheRegistryReadsAPageAsTheDeducersDo)
{
    SiteConfig::clearOverrides();
    const QString page = QStringLiteral(
        "<div class=\"wrong\"><p>The manga is regarded as 'mature'</p></div>"
        "<select name=\"pageMenu\"><option value=\"01\">1</option><option value=\"02\">2</option></select>"
        "<a href=\"02\"><img src=\"http://x/store/manga/1/01.jpg\"></a>"
        "<a href=\"/r/01/\">Begin reading</a>");
    const ReaderPageReading plain = SiteRegistry::readReaderPage(page, QStringLiteral("http://x/r/"));
    EXPECT_EQ(plain.pages, QStringList({QStringLiteral("01"), QStringLiteral("02")}));
    EXPECT_TRUE(plain.isMatureContent);
    ASSERT_EQ(plain.images.size(), 1);
    EXPECT_EQ(plain.images[0].parentLink, u"02");
    EXPECT_FALSE(plain.firstPageURLString);

    EXPECT_TRUE(SiteRegistry::readsCoverPages(SiteConfig::Site::OneManga));
    EXPECT_FALSE(SiteRegistry::readsCoverPages(SiteConfig::Site::MangaFox));
    EXPECT_FALSE(SiteRegistry::readsCoverPages(SiteConfig::Site::OneMangaMirror));
    const auto cover = SiteRegistry::readReaderPage(page, QString(), SiteConfig::Site::OneManga);
    EXPECT_EQ(cover.firstPageURLString, QStringLiteral("/r/01/"));
    EXPECT_EQ(cover.pages, plain.pages);
    const auto none =
        SiteRegistry::readReaderPage(QStringLiteral("<p>x</p>"), QString(), SiteConfig::Site::OneManga);
    ASSERT_TRUE(none.firstPageURLString);
    EXPECT_TRUE(none.firstPageURLString->isNull());
}

// Reader pages saved from the sites: the parsers must read their selectors
// and images the way a deduction needs them.
TEST(PageParsersTest, RealReaderPages)
{
    // $YOMORA_REAL_PAGES_DIR points elsewhere, e.g. from a second worktree.
    const QString env = qEnvironmentVariable("YOMORA_REAL_PAGES_DIR");
    const QDir dir(env.isEmpty() ? QStringLiteral(YOMORA_REAL_PAGES_DIR) : env);
    if (!dir.exists())
        GTEST_SKIP() << "no real pages at " << qPrintable(dir.path());
    SiteConfig::clearOverrides();
    const struct {
        const char *file;
        int pages;
        const char *secondPage;
        int images;
        const char *firstImage;
        const char *firstLink; // nullptr: outside any link
    } cases[] = {
        {"mangahere/reader-1.html", 26, "http://www.mangahere.com/manga/kyoukai_no_rinne/v01/c002/2.html", 2,
         "http://c.mhcdn.net/store/manga/5793/01-002.0/compressed/r01.jpg",
         "http://www.mangahere.com/manga/kyoukai_no_rinne/v01/c002/2.html"},
        {"mangareader/reader-10.html", 27, "/462-28574-2/goong/chapter-1.html", 1,
         "http://i10.mangareader.net/goong/1/goong-678205.jpg", "/462-28574-2/goong/chapter-1.html"},
        {"mangafox/reader-7.html", 18, "2", 2,
         "http://h.mfcdn.net/store/manga/15973/042.0/compressed/"
         "k001.jpg?token=ee25e73124d39eca5f9e90e7fffa3145&ttl=1498564800",
         "2.html"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        QFile file(dir.filePath(QString::fromUtf8(c.file)));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = PageTextFetcher::decodeUtf8(file.readAll());
        SelectPagesParserDelegate pages;
        feed(pages, text);
        ImageParserDelegate images;
        feed(images, text);
        ASSERT_EQ(pages.pages().size(), c.pages);
        EXPECT_EQ(pages.pages()[1], QString::fromUtf8(c.secondPage));
        EXPECT_FALSE(pages.isMatureContent());
        ASSERT_EQ(images.images().size(), c.images);
        EXPECT_EQ(images.images()[0].src, QString::fromUtf8(c.firstImage));
        EXPECT_EQ(images.images()[0].parentLink, c.firstLink ? QString::fromUtf8(c.firstLink) : QString());
    }
}

} // namespace
