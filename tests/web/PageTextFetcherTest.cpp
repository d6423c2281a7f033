#include <gtest/gtest.h>

#include <thread>

#include "support/LoopbackServer.h"
#include "web/HttpRequest.h"
#include "web/PageTextFetcher.h"

namespace {

// "Ça coûte 5 € à Noël" in windows-1252: not UTF-8, not ASCII.
const QByteArray kLegacyBytes = "\xc7"
                                "a co\xfb"
                                "te 5 \x80 \xe0 No\xebl, d\xe9j\xe0 vu: cr\xe8me br\xfbl\xe9"
                                "e, "
                                "fa\xe7"
                                "ade, na\xefve, \xe9l\xe8ve, pr\xe9"
                                "f\xe9r\xe9 \xe0 la fran\xe7"
                                "aise.";
const QString kLegacyText =
    QStringLiteral("Ça coûte 5 € à Noël, déjà vu: crème brûlée, façade, naïve, élève, "
                   "préféré à la française.");

QUrl urlOf(const LoopbackServer &server, const char *path)
{
    return QUrl(server.url(QString::fromLatin1(path)));
}

} // namespace

TEST(PageTextFetcherTest, DecodesEachPageTheWayItWasServed)
{
    LoopbackServer server;
    LoopbackResponse gzip = LoopbackResponse::page(QStringLiteral("<p>日本語 ページ</p>").toUtf8());
    gzip.gzip = true;
    server.serve(QStringLiteral("/gzip"), gzip);
    server.serve(QStringLiteral("/declared"),
                 LoopbackResponse::page("<html><body>" + kLegacyBytes + "</body></html>",
                                        "text/html; charset=windows-1252"));
    // The header lies (UTF-8) and the markup says nothing: detection decides.
    server.serve(
        QStringLiteral("/undeclared"),
        LoopbackResponse::page("<html><body><p>" + kLegacyBytes + " " + kLegacyBytes + "</p></body></html>"));
    LoopbackResponse missing = LoopbackResponse::page("<html>No such chapter</html>");
    missing.status = 404;
    server.serve(QStringLiteral("/404"), missing);

    struct Case {
        const char *path;
        QString contains;
        int loads;
    } cases[] = {
        {"/gzip", QStringLiteral("日本語 ページ"), 1},
        {"/declared", kLegacyText, 2},
        {"/undeclared", kLegacyText, 2},
        {"/404", QStringLiteral("No such chapter"), 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        const PageText page = PageTextFetcher::fetch(urlOf(server, c.path));
        EXPECT_TRUE(page.succeeded());
        EXPECT_TRUE(page.text.contains(c.contains)) << page.text.toStdString();
        EXPECT_EQ(server.requestCount(QString::fromLatin1(c.path)), c.loads);
    }
    const auto seen = server.requests();
    EXPECT_EQ(seen[1].header("user-agent"), HttpRequest::browserUserAgent().toUtf8());
    EXPECT_EQ(seen[2].header("user-agent"), HttpRequest::defaultUserAgent().toUtf8());
}

TEST(PageTextFetcherTest, EmptyOrUndecodablePagesAndTransportErrorsFail)
{
    LoopbackServer server;
    server.servePage(QStringLiteral("/empty"), "");
    server.serve(QStringLiteral("/legacy"), LoopbackResponse::page(kLegacyBytes));
    LoopbackResponse stall;
    stall.stall = true;
    server.serve(QStringLiteral("/stall"), stall);

    const PageText empty = PageTextFetcher::fetch(urlOf(server, "/empty"));
    EXPECT_FALSE(empty.succeeded());
    EXPECT_FALSE(empty.error);

    PageTextFetcher::Options utf8Only;
    utf8Only.utf8Only = true;
    EXPECT_FALSE(PageTextFetcher::fetch(urlOf(server, "/legacy"), utf8Only).succeeded());
    EXPECT_EQ(server.requestCount(QStringLiteral("/legacy")), 1);

    PageTextFetcher::Options quick;
    quick.timeOutSeconds = 0.1;
    quick.retriesOnTimeout = 1;
    const PageText timedOut = PageTextFetcher::fetch(urlOf(server, "/stall"), quick);
    ASSERT_TRUE(timedOut.error);
    EXPECT_EQ(timedOut.error->code, 2);
    EXPECT_EQ(server.requestCount(QStringLiteral("/stall")), 2);

    PageTextFetcher::Options patient;
    patient.timeOutSeconds = 60;
    PageTextFetcher fetcher(patient);
    std::thread canceller([&] {
        while (server.requestCount(QStringLiteral("/stall")) < 3)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        fetcher.cancel();
    });
    const PageText cancelled = fetcher.fetchText(urlOf(server, "/stall"));
    canceller.join();
    ASSERT_TRUE(cancelled.error);
    EXPECT_EQ(cancelled.error->code, 4);
}

TEST(PageTextFetcherTest, DecodersRejectWhatTheyCannotRead)
{
    EXPECT_EQ(PageTextFetcher::decodeUtf8("caf\xc3\xa9"), QStringLiteral("café"));
    EXPECT_TRUE(PageTextFetcher::decodeUtf8("caf\xe9").isEmpty());
    EXPECT_TRUE(PageTextFetcher::decodeUtf8("\xc3").isEmpty()); // cut inside a sequence
    EXPECT_EQ(PageTextFetcher::decodeAscii("plain"), QStringLiteral("plain"));
    EXPECT_TRUE(PageTextFetcher::decodeAscii("caf\xe9").isEmpty());
    EXPECT_EQ(PageTextFetcher::decodeDetected("\x93quoted\x94", "text/html; charset=\"windows-1252\""),
              QStringLiteral("“quoted”"));
    EXPECT_EQ(PageTextFetcher::decodeDetected(kLegacyBytes, "text/html; charset=no-such-charset"),
              kLegacyText);
}
