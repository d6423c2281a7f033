#include <gtest/gtest.h>

#include <thread>

#include "foundation/Operation.h"
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

QString urlOf(const LoopbackServer &server, const char *path)
{
    return server.url(QString::fromUtf8(path));
}

// A fetch as the catalogue and the deducers run it: inside an operation
// that another thread may cancel.
class FetchOperation : public Operation
{
public:
    FetchOperation(QString url, PageTextFetcher::Policy policy) : url_(std::move(url)), policy_(policy) {}
    void main() override { page = PageTextFetcher::fetch(url_, policy_, this); }
    PageText page;

private:
    QString url_;
    PageTextFetcher::Policy policy_;
};

} // namespace

// The catalogue's policy: one load with the browser's name, then the
// encoding fallback's second load without it.
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
        const PageText page = PageTextFetcher::fetch(urlOf(server, c.path), {});
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

    const PageText empty = PageTextFetcher::fetch(urlOf(server, "/empty"), {});
    EXPECT_FALSE(empty.succeeded());
    EXPECT_FALSE(empty.error);

    // The policy of sites that serve UTF-8 only.
    PageTextFetcher::Policy utf8Only;
    utf8Only.decoding = PageTextFetcher::Decoding::Utf8Only;
    EXPECT_FALSE(PageTextFetcher::fetch(urlOf(server, "/legacy"), utf8Only).succeeded());
    EXPECT_EQ(server.requestCount(QStringLiteral("/legacy")), 1);

    // The reader pages' policy: a time-out is retried.
    PageTextFetcher::Policy quick;
    quick.timeOutSeconds = 0.1;
    quick.retriesOnTimeout = 1;
    const PageText timedOut = PageTextFetcher::fetch(urlOf(server, "/stall"), quick);
    ASSERT_TRUE(timedOut.error);
    EXPECT_TRUE(timedOut.requestFailed);
    EXPECT_EQ(timedOut.error->code, HttpRequest::RequestTimedOut);
    EXPECT_EQ(server.requestCount(QStringLiteral("/stall")), 2);

    PageTextFetcher::Policy patient;
    patient.timeOutSeconds = 60;
    FetchOperation fetch(urlOf(server, "/stall"), patient);
    std::thread canceller([&] {
        while (server.requestCount(QStringLiteral("/stall")) < 3)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        fetch.cancel();
    });
    fetch.start();
    canceller.join();
    ASSERT_TRUE(fetch.page.error);
    EXPECT_EQ(fetch.page.error->code, HttpRequest::RequestCancelled);
    // Work begun after the cancel fails at once instead of waiting.
    FetchOperation late(urlOf(server, "/stall"), patient);
    late.cancel();
    late.main();
    ASSERT_TRUE(late.page.error);
    EXPECT_EQ(late.page.error->code, HttpRequest::RequestCancelled);
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

// The cover-page loader's policy sends no header of ours; the first reader
// page's escapes what may not stand in an address.
TEST(PageTextFetcherTest, PlainLoaderAndEscapedAddresses)
{
    LoopbackServer server;
    server.servePage(QStringLiteral("/cover"), "<p>cover</p>");
    PageTextFetcher::Policy plain;
    plain.browserUserAgent = false;
    plain.decoding = PageTextFetcher::Decoding::Utf8Only;
    EXPECT_TRUE(PageTextFetcher::fetch(urlOf(server, "/cover"), plain).succeeded());
    EXPECT_EQ(server.requests().back().header("user-agent"), HttpRequest::defaultUserAgent().toUtf8());

    PageTextFetcher::Policy escaping;
    escaping.escapeAddress = true;
    PageTextFetcher::fetch(urlOf(server, "/One Piece/ä"), escaping);
    EXPECT_EQ(server.requests().back().target, u"/One%20Piece/%C3%A4");
    // An address with a "%" is taken as escaped already.
    PageTextFetcher::fetch(urlOf(server, "/50%25 off"), escaping);
    EXPECT_EQ(server.requests().back().target, u"/50%25%20off");
    EXPECT_EQ(PageTextFetcher::escapedAddress(QStringLiteral("http://h/One Piece/ä?a=1&b=[2]#top")),
              u"http://h/One%20Piece/%C3%A4?a=1&b=[2]#top");
}
