#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>

#include <QStringEncoder>

#include "FakeChapterSite.h"
#include "catalogue/SiteRegistry.h"
#include "deduction/Deducer.h"
#include "deduction/DeducerDelegate.h"
#include "sites/mangafox/DeducerMangaFox.h"
#include "sites/mangahere/DeducerMangaHere.h"
#include "sites/mangareader/DeducerMangaReader.h"
#include "sites/onemanga/DeducerOneManga.h"
#include "deduction/ImageHeader.h"
#include "deduction/ProgressSink.h"
#include "files/UrlStringJoins.h"
#include "foundation/MainThread.h"
#include "foundation/OperationQueue.h"
#include "sites/SiteConfig.h"
#include "support/EventLoop.h"

namespace {

using Layout = FakeChapterSite::Layout;

class CountingDelegate : public DeducerDelegate
{
public:
    void deducerFinished(Deducer &) override { ++finished; }
    void deducerFailed(Deducer &) override { ++failed; }
    std::atomic<int> finished{0};
    std::atomic<int> failed{0};
};

class RecordingProgress : public ProgressSink
{
public:
    void setProgress(float progress) override
    {
        values.push_back(progress);
        offMain = offMain || !isMainThread();
    }
    std::vector<float> values;
    bool offMain = false;
};

struct Deduction {
    std::shared_ptr<Deducer> deducer;
    std::shared_ptr<RecordingProgress> progress = std::make_shared<RecordingProgress>();
    CountingDelegate delegate;
    OperationQueue queue{2};

    explicit Deduction(const QString &url)
    {
        deducer = SiteRegistry::deducerWithSelectPages(std::nullopt, std::nullopt, QString(), url,
                                                       QStringLiteral("web page title"), progress, &delegate);
        if (deducer) {
            deducer->setCheckHeaderLimit(2);
            deducer->setTimeOuts({5.0, 5.0});
        }
    }
    void start() { queue.addOperation(deducer); }
    // Runs to the end; every deduction that is not cancelled reports once.
    bool finish()
    {
        start();
        EXPECT_TRUE(pumpEventsUntil([this] { return deducer->isFinished(); }));
        pumpEvents();
        EXPECT_EQ(delegate.finished + delegate.failed, 1);
        return delegate.finished == 1;
    }
    int errorCode() const { return deducer->error() ? deducer->error()->code : 0; }
};

class DeducerTest : public ::testing::Test
{
protected:
    void TearDown() override { SiteConfig::clearOverrides(); }
};

const char *name(Layout layout)
{
    switch (layout) {
    case Layout::OneManga:
        return "OneManga";
    case Layout::MangaFox:
        return "MangaFox";
    case Layout::MangaReader:
        return "MangaReader";
    case Layout::MangaHere:
        return "MangaHere";
    }
    return "";
}

TEST_F(DeducerTest, DeducesWholeChaptersOfEverySite)
{
    for (Layout layout : {Layout::OneManga, Layout::MangaFox, Layout::MangaReader, Layout::MangaHere}) {
        for (int pages : {3, 300}) {
            SCOPED_TRACE(testing::Message() << name(layout) << " " << pages);
            // MangaFox's selector also lists the comments page.
            FakeChapterSite site(layout, {.pages = layout == Layout::MangaFox ? pages - 1 : pages});
            Deduction run(site.chapterURL());
            ASSERT_TRUE(run.deducer);
            ASSERT_TRUE(run.finish()) << run.errorCode();
            EXPECT_EQ(run.deducer->urlStrings(), site.expectedImageURLs());

            const auto &values = run.progress->values;
            ASSERT_FALSE(values.empty());
            EXPECT_FALSE(run.progress->offMain);
            EXPECT_EQ(values.front(), 0.0f);
            EXPECT_EQ(values.back(), 1.0f);
            EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));

            // Probes never fetch an image; OneManga probes only its first
            // pages and its last and never visits a reader page but the first.
            int heads = 0, gets = 0;
            for (const auto &request : site.server().requests()) {
                (request.method == "HEAD" ? heads : gets) += 1;
                EXPECT_FALSE(request.method == "GET" && request.path.endsWith(u".jpg"))
                    << qPrintable(request.path);
            }
            if (layout == Layout::OneManga) {
                EXPECT_EQ(heads, 3);
                EXPECT_EQ(gets, 2);
            } else {
                EXPECT_EQ(heads, 1);
                EXPECT_EQ(gets, layout == Layout::MangaFox ? pages - 1 : pages);
            }
        }
    }
}

TEST_F(DeducerTest, FirstPageFailuresAndLimits)
{
    const struct {
        const char *what;
        Layout layout;
        FakeChapterSite::Options options;
        int code;
        const char *message;
    } cases[] = {
        {"301 pages", Layout::MangaHere, {.pages = 301}, 6, "Too many pages in chapter"},
        {"mature notice", Layout::MangaReader, {.matureNotice = true}, 9, "Mature content blocked"},
        {"image too large",
         Layout::MangaFox,
         {.imageBytes = 3 * 1024 * 1024 + 1},
         3,
         "Image size it too large"},
        {"image too small", Layout::MangaReader, {.imageBytes = 999}, 4, "Cannot locate an image"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        FakeChapterSite site(c.layout, c.options);
        Deduction run(site.chapterURL());
        EXPECT_FALSE(run.finish());
        ASSERT_TRUE(run.deducer->error());
        EXPECT_EQ(*run.deducer->error(),
                  (Error{QStringLiteral("DeducerErrorDomain"), c.code, QString::fromUtf8(c.message)}));
        EXPECT_TRUE(run.deducer->urlStrings().isEmpty());
        // Nothing after the first page is visited.
        EXPECT_EQ(site.server().requestCount(site.readerPagePath(2)), 0);
    }
}

TEST_F(DeducerTest, BrokenPagesInMidChapter)
{
    LoopbackResponse empty = LoopbackResponse::page(QByteArray());
    LoopbackResponse latin1 =
        LoopbackResponse::page("<html><img src=\"http://x/store/manga/r9.jpg\">\xe9</html>", "text/html");
    LoopbackResponse noImage = LoopbackResponse::page("<html><body>Not here</body></html>");
    noImage.status = 404;
    LoopbackResponse gone;
    gone.stall = true;
    const struct {
        const char *what;
        Layout layout;
        LoopbackResponse page2;
        int code;
    } cases[] = {
        {"MangaReader empty page", Layout::MangaReader, empty, 10},
        {"MangaHere page not UTF-8", Layout::MangaHere, latin1, 10},
        {"MangaReader page without image", Layout::MangaReader, noImage, 4},
        {"MangaFox empty page", Layout::MangaFox, empty, 4},
        {"MangaFox page without image", Layout::MangaFox, noImage, 4},
        {"MangaFox page timing out", Layout::MangaFox, gone, 10},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        FakeChapterSite site(c.layout, {.pages = 4});
        site.server().serve(site.readerPagePath(2), c.page2);
        Deduction run(site.chapterURL());
        run.deducer->setTimeOuts({0.2, 0.2});
        EXPECT_FALSE(run.finish());
        EXPECT_EQ(run.errorCode(), c.code);
        EXPECT_TRUE(run.deducer->urlStrings().isEmpty());
        EXPECT_EQ(site.server().requestCount(site.readerPagePath(3)), 0);
    }
}

TEST_F(DeducerTest, FirstPageAddressesAndEncodings)
{
    FakeChapterSite site(Layout::MangaReader);
    QByteArray legacy = QStringEncoder("windows-1251")(QStringLiteral("<title>Гунг</title>"));
    legacy += site.readerPage(1);
    site.server().serve(QStringLiteral("/goong 1"), LoopbackResponse::page(site.readerPage(1)));
    site.server().serve(QStringLiteral("/legacy"), LoopbackResponse::page(legacy, "text/html"));
    const struct {
        const char *path;
        const char *target;
        int loads;
    } cases[] = {
        {"/goong 1", "/goong%201", 1},
        {"/goong%201", "/goong%201", 1},
        {"/legacy", "/legacy", 2}, // read again with its encoding detected
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        site.server().resetCounts();
        Deduction run(
            site.server().url(QString::fromUtf8(c.path), QStringLiteral("www.mangareader.localhost")));
        EXPECT_TRUE(run.finish()) << run.errorCode();
        EXPECT_EQ(run.deducer->urlStrings(), site.expectedImageURLs());
        int loads = 0;
        for (const auto &request : site.server().requests())
            loads += request.target == QString::fromUtf8(c.target);
        EXPECT_EQ(loads, c.loads);
    }

    // A first page that no decoding can read is a bad start, not a transport error.
    site.server().serve(QStringLiteral("/dead"), LoopbackResponse::page(QByteArray()));
    Deduction run(site.server().url(QStringLiteral("/dead"), QStringLiteral("www.mangareader.localhost")));
    EXPECT_FALSE(run.finish());
    EXPECT_EQ(run.errorCode(), 7);
}

TEST_F(DeducerTest, SiteLayoutVariants)
{
    const struct {
        const char *what;
        Layout layout;
        FakeChapterSite::Options options;
        const char *visited; // a reader page the walk must reach
    } cases[] = {
        {"MangaFox image without link",
         Layout::MangaFox,
         {.pages = 5, .pagesWithoutLink = {2, 3}},
         "/4.html"},
        {"MangaFox one-entry selector", Layout::MangaFox, {.pages = 1, .commentsPage = false}, "/1.html"},
        {"MangaFox repeated image", Layout::MangaFox, {.pages = 5, .repeatsImageOf = {{4, 3}}}, "/5.html"},
        {"MangaHere repeated image", Layout::MangaHere, {.pages = 4, .repeatsImageOf = {{4, 2}}}, "/4.html"},
        {"MangaReader repeated image kept",
         Layout::MangaReader,
         {.pages = 4, .repeatsImageOf = {{4, 2}}},
         "/1/4"},
        {"MangaReader absolute values",
         Layout::MangaReader,
         {.pages = 4, .absolutePageValues = true},
         "/1/4"},
        {"MangaReader two images a page", Layout::MangaReader, {.pages = 4, .imagesPerPage = 2}, "/1/4"},
        {"MangaHere two images a page", Layout::MangaHere, {.pages = 4, .imagesPerPage = 2}, "/4.html"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        FakeChapterSite site(c.layout, c.options);
        Deduction run(site.chapterURL());
        ASSERT_TRUE(run.finish()) << run.errorCode();
        EXPECT_EQ(run.deducer->urlStrings(), site.expectedImageURLs());
        bool reached = false;
        for (const auto &request : site.server().requests())
            reached = reached || request.path.endsWith(QString::fromUtf8(c.visited));
        EXPECT_TRUE(reached);
    }
}

TEST_F(DeducerTest, OneMangaFallsBackToTheMirror)
{
    FakeChapterSite site(Layout::OneManga);
    const QString mirror =
        site.server().url(QStringLiteral("/"), QStringLiteral("mirror.onemanga.localhost"));
    SiteConfig::setOverride(SiteConfig::Site::OneMangaMirror, mirror);
    // Nothing listens on port 1: the site itself cannot be reached.
    Deduction run(QStringLiteral("http://www.onemanga.localhost:1/Naruto/1/"));
    ASSERT_TRUE(run.finish()) << run.errorCode();
    EXPECT_EQ(run.deducer->firstPageURLString(), mirror + u"Naruto/1/01/");
    EXPECT_EQ(run.deducer->urlStrings(), site.expectedImageURLs());

    site.server().serve(QStringLiteral("/Naruto/1/"), LoopbackResponse::page("<a href=\"/x/\">Read</a>"));
    Deduction lost(site.chapterURL());
    EXPECT_FALSE(lost.finish());
    EXPECT_EQ(lost.errorCode(), 7);
    EXPECT_EQ(site.server().requestCount(QStringLiteral("/Naruto/1/")), 3);
}

TEST_F(DeducerTest, CancelledDeductionStopsWithinOneRequestAndStaysSilent)
{
    FakeChapterSite site(Layout::MangaReader, {.pages = 300});
    LoopbackResponse stalled;
    stalled.stall = true;
    site.server().serve(site.readerPagePath(120), stalled);
    Deduction run(site.chapterURL());
    run.deducer->setTimeOuts({60.0, 60.0});
    run.start();
    ASSERT_TRUE(pumpEventsUntil([&] { return site.server().requestCount(site.readerPagePath(120)) > 0; }));

    const auto cancelledAt = std::chrono::steady_clock::now();
    run.deducer->cancel();
    ASSERT_TRUE(pumpEventsUntil([&] { return run.deducer->isFinished(); }, std::chrono::seconds(5)));
    EXPECT_LT(std::chrono::steady_clock::now() - cancelledAt, std::chrono::seconds(2));
    pumpEvents();
    EXPECT_EQ(run.delegate.finished + run.delegate.failed, 0);
    EXPECT_EQ(site.server().requestCount(site.readerPagePath(121)), 0);

    // The next deduction on the queue reports as usual.
    FakeChapterSite other(Layout::MangaHere);
    Deduction next(other.chapterURL());
    EXPECT_TRUE(next.finish());
}

TEST_F(DeducerTest, ProbeBoundsAreInclusive)
{
    LoopbackServer server;
    const struct {
        qint64 bytes;
        bool announced;
        int code; // 0: accepted
    } cases[] = {
        {999, true, 4}, {1000, true, 0}, {3145728, true, 0}, {3145729, true, 3}, {5000, false, 4},
    };
    ImageHeader header;
    for (const auto &c : cases) {
        LoopbackResponse image = LoopbackResponse::page(QByteArray(c.bytes, 'x'), "image/jpeg");
        image.omitContentLength = !c.announced;
        const QString path = QStringLiteral("/%1-%2.jpg").arg(c.bytes).arg(c.announced);
        server.serve(path, image);
        OptionalError error;
        EXPECT_EQ(header.checkWithURL(QUrl(server.url(path)), &error), c.code == 0) << c.bytes;
        EXPECT_EQ(error ? error->code : 0, c.code) << c.bytes;
        EXPECT_EQ(header.expectedContentLength(), c.announced ? c.bytes : -1);
    }
    EXPECT_EQ(server.requestCount(), 5);
    for (const auto &request : server.requests())
        EXPECT_EQ(request.method, "HEAD");
}

TEST(DeducerBaseTest, FactoryPicksTheSiteByKeyword)
{
    SiteConfig::clearOverrides();
    auto make = [](const char *url) {
        return SiteRegistry::deducerWithSelectPages(std::nullopt, std::nullopt, {}, QString::fromUtf8(url),
                                                    {}, nullptr, nullptr);
    };
    EXPECT_TRUE(std::dynamic_pointer_cast<DeducerOneManga>(make("http://www.OneManga.com/mangafox/1/")));
    EXPECT_TRUE(std::dynamic_pointer_cast<DeducerMangaFox>(make("http://www.mangafox.com/manga/mangahere/")));
    EXPECT_TRUE(std::dynamic_pointer_cast<DeducerMangaReader>(make("http://www.MANGAREADER.net/a/1")));
    EXPECT_TRUE(std::dynamic_pointer_cast<DeducerMangaHere>(make("http://www.mangahere.com/manga/a/c001/")));
    EXPECT_FALSE(make("http://www.example.com/manga/a/c001/"));
}

TEST(DeducerBaseTest, UrlHelpers)
{
    QStringList urls{QStringLiteral("http://a/x/001.jpg"), QStringLiteral("http://b/y/001.jpg"),
                     QStringLiteral("http://a/x/002.jpg"), QStringLiteral("http://a/z/002.jpg")};
    Deducer::removeDuplicates(urls);
    EXPECT_EQ(urls,
              QStringList({QStringLiteral("http://a/x/001.jpg"), QStringLiteral("http://a/x/002.jpg")}));

    // Where an address is taken apart, https reads as http does.
    for (const char *scheme : {"http", "https"}) {
        const QString root = QString::fromLatin1(scheme) + QStringLiteral("://www.site.com:8080");
        const QString page = root + QStringLiteral("/manga/a/c001/2.html");
        EXPECT_EQ(DeducerOneManga::rootURLString(page), root);
        EXPECT_EQ(DeducerMangaReader::rootPath(page), root);
        EXPECT_FALSE(DeducerMangaFox::isRelativePath(page));
        EXPECT_EQ(urlStringByAppendingPathComponent(QStringLiteral("http://other/"), page), page);
    }
    EXPECT_TRUE(DeducerMangaFox::isRelativePath(QStringLiteral("3.html")));
    EXPECT_EQ(Deducer::tooManyPagesForCellularError().message, u"Over 300 pages.  Wifi required");
    EXPECT_EQ(Deducer::pageLoadOrTimeoutError().message, u"Page load error or timed out ");
}

} // namespace
