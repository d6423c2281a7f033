#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <QThread>

#include "support/LoopbackServer.h"
#include "web/HttpRequest.h"

using namespace std::chrono_literals;

namespace {

QUrl urlOf(const LoopbackServer &server, const char *path)
{
    return QUrl(server.url(QString::fromLatin1(path)));
}

std::shared_ptr<HttpRequest> fetch(const QUrl &url, const QString &method = QStringLiteral("GET"))
{
    auto request = HttpRequest::requestWithURL(url);
    request->setRequestMethod(method);
    request->startSynchronous();
    return request;
}

int errorCode(const HttpRequest &request)
{
    return request.error() ? request.error()->code : 0;
}

// Keeps the process-wide knobs from leaking into other tests.
class HttpRequestTest : public testing::Test
{
protected:
    void TearDown() override
    {
        HttpRequest::setTimeOutOverride(0);
        HttpRequest::setMaximumResponseSize(HttpRequest::kDefaultMaximumResponseSize);
    }
    LoopbackServer server;
};

} // namespace

TEST_F(HttpRequestTest, BodiesArriveWhateverTheFramingOrStatus)
{
    const QByteArray page = QByteArray("<html>") + QByteArray(20000, 'x') + "</html>";
    LoopbackResponse gzip = LoopbackResponse::page(page);
    gzip.gzip = true;
    LoopbackResponse chunked = LoopbackResponse::page(page);
    chunked.omitContentLength = true;
    LoopbackResponse slow = LoopbackResponse::page(page);
    slow.chunkSize = 5000;
    slow.chunkDelay = 20ms;
    LoopbackResponse missing = LoopbackResponse::page("<html>gone</html>");
    missing.status = 404;
    server.serve(QStringLiteral("/gzip"), gzip);
    server.serve(QStringLiteral("/chunked"), chunked);
    server.serve(QStringLiteral("/slow"), slow);
    server.serve(QStringLiteral("/missing"), missing);
    LoopbackResponse late = LoopbackResponse::page(page);
    late.delay = 30ms;
    server.serve(QStringLiteral("/late"), late);
    server.handlePrefix(QStringLiteral("/site/"), [&](const LoopbackRequest &r) {
        return LoopbackResponse::page("<html>" + r.target.toUtf8() + "</html>");
    });

    struct Case {
        const char *path;
        QByteArray body;
        int status;
        qint64 announced;
    } cases[] = {
        {"/gzip", page, 200, -2}, // announced is the compressed length
        {"/chunked", page, 200, -1},
        {"/slow", page, 200, page.size()},
        {"/missing", "<html>gone</html>", 404, 17},
        {"/late", page, 200, page.size()},
        {"/site/manga/a?page=2", "<html>/site/manga/a?page=2</html>", 200, 33},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        auto request = fetch(urlOf(server, c.path));
        EXPECT_EQ(errorCode(*request), 0);
        EXPECT_EQ(request->responseData(), c.body);
        EXPECT_EQ(request->responseStatusCode(), c.status);
        if (c.announced == -2)
            EXPECT_LT(request->contentLength(), page.size());
        else
            EXPECT_EQ(request->contentLength(), c.announced);
    }
    EXPECT_EQ(server.requests().front().header("accept-encoding"), "gzip, deflate");
    EXPECT_EQ(fetch(urlOf(server, "/chunked"))->responseHeader("content-encoding"), "");
}

TEST_F(HttpRequestTest, HeadReadsTheAnnouncedLengthWithoutABody)
{
    server.serve(QStringLiteral("/image.jpg"), LoopbackResponse::page(QByteArray(123456, 'j'), "image/jpeg"));
    auto request = fetch(urlOf(server, "/image.jpg"), QStringLiteral("HEAD"));
    EXPECT_EQ(errorCode(*request), 0);
    EXPECT_EQ(request->contentLength(), 123456);
    EXPECT_TRUE(request->responseData().isEmpty());
    EXPECT_EQ(server.requests().back().method, "HEAD");
}

TEST_F(HttpRequestTest, HeadersAndUserAgent)
{
    server.servePage(QStringLiteral("/"), "ok");
    auto request = HttpRequest::requestWithURL(urlOf(server, "/"));
    request->addRequestHeader(QStringLiteral("User-Agent"), HttpRequest::browserUserAgent());
    request->addRequestHeader(QStringLiteral("Referer"),
                              QStringLiteral("http://example.org/\r\nInjected: yes"));
    request->startSynchronous();
    fetch(urlOf(server, "/"));

    const auto seen = server.requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].header("user-agent"), HttpRequest::browserUserAgent().toUtf8());
    EXPECT_EQ(seen[0].header("referer"), "http://example.org/  Injected: yes");
    EXPECT_EQ(seen[0].header("injected"), "");
    EXPECT_EQ(seen[1].header("user-agent"), HttpRequest::defaultUserAgent().toUtf8());
}

TEST_F(HttpRequestTest, TimesOutAfterTheFirstTryAndEachRetry)
{
    LoopbackResponse stall;
    stall.stall = true;
    server.serve(QStringLiteral("/stall"), stall);
    LoopbackResponse stallMidBody = LoopbackResponse::page(QByteArray(1000, 'b'));
    stallMidBody.chunkSize = 100;
    stallMidBody.chunkDelay = 10s;
    server.serve(QStringLiteral("/stall-mid-body"), stallMidBody);

    for (const char *path : {"/stall", "/stall-mid-body"}) {
        SCOPED_TRACE(path);
        auto request = HttpRequest::requestWithURL(urlOf(server, path));
        request->setTimeOutSeconds(0.15);
        request->setNumberOfTimesToRetryOnTimeout(2);
        request->startSynchronous();
        ASSERT_TRUE(request->error());
        EXPECT_EQ(request->error()->domain, QStringLiteral("ASIHTTPRequestErrorDomain"));
        EXPECT_EQ(request->error()->code, HttpRequest::RequestTimedOut);
        EXPECT_EQ(request->error()->message, QStringLiteral("The request timed out"));
        EXPECT_EQ(request->attempts(), 3);
        EXPECT_EQ(server.requestCount(QString::fromLatin1(path)), 3);
    }
}

TEST_F(HttpRequestTest, TheTimeOutOverrideShortensEveryRequest)
{
    LoopbackResponse stall;
    stall.stall = true;
    server.serve(QStringLiteral("/stall"), stall);
    HttpRequest::setTimeOutOverride(0.1);
    auto request = HttpRequest::requestWithURL(urlOf(server, "/stall"));
    request->setTimeOutSeconds(30);
    request->startSynchronous();
    EXPECT_EQ(errorCode(*request), 2);
}

TEST_F(HttpRequestTest, CancelFromAnotherThreadEndsTheRequestAtOnce)
{
    LoopbackResponse stall;
    stall.stall = true;
    server.serve(QStringLiteral("/stall"), stall);
    auto request = HttpRequest::requestWithURL(urlOf(server, "/stall"));
    request->setTimeOutSeconds(60);
    std::thread canceller([&] {
        while (server.requestCount() == 0)
            std::this_thread::sleep_for(1ms);
        request->cancel();
    });
    const auto start = std::chrono::steady_clock::now();
    request->startSynchronous();
    canceller.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_TRUE(request->isCancelled());
    ASSERT_EQ(errorCode(*request), 4);
    EXPECT_EQ(request->error()->message, QStringLiteral("The request was cancelled"));

    auto early = HttpRequest::requestWithURL(urlOf(server, "/stall"));
    early->cancel();
    early->startSynchronous();
    EXPECT_EQ(errorCode(*early), 4);
    EXPECT_EQ(server.requestCount(), 1);
}

TEST_F(HttpRequestTest, RedirectsAndTheirLimits)
{
    server.serve(QStringLiteral("/old"), LoopbackResponse::redirect(QStringLiteral("/hop")));
    server.serve(QStringLiteral("/hop"), LoopbackResponse::redirect(server.url(QStringLiteral("/new")), 301));
    server.servePage(QStringLiteral("/new"), "arrived");
    server.serve(QStringLiteral("/loop-a"), LoopbackResponse::redirect(QStringLiteral("/loop-b")));
    server.serve(QStringLiteral("/loop-b"), LoopbackResponse::redirect(QStringLiteral("/loop-a")));
    server.serve(QStringLiteral("/to-file"),
                 LoopbackResponse::redirect(QStringLiteral("file:///etc/passwd")));
    server.serve(QStringLiteral("/to-ftp"), LoopbackResponse::redirect(QStringLiteral("ftp://127.0.0.1/x")));

    auto followed = fetch(urlOf(server, "/old"));
    EXPECT_EQ(errorCode(*followed), 0);
    EXPECT_EQ(followed->responseData(), "arrived");
    EXPECT_EQ(followed->url(), urlOf(server, "/old"));
    EXPECT_EQ(followed->finalURL(), urlOf(server, "/new"));

    EXPECT_EQ(errorCode(*fetch(urlOf(server, "/loop-a"))), 9);

    // Only http and https are fetched: a redirect must not read local files.
    for (const char *path : {"/to-file", "/to-ftp"}) {
        auto request = fetch(urlOf(server, path));
        EXPECT_EQ(errorCode(*request), 5) << path;
        EXPECT_FALSE(request->responseData().contains("root:")) << path;
    }
    for (const char *bad : {"file:///etc/passwd", "ftp://127.0.0.1/", "not a url", ""})
        EXPECT_EQ(errorCode(*fetch(QUrl(QString::fromLatin1(bad)))), 5) << bad;
}

TEST_F(HttpRequestTest, CookiesAreKeptAcrossRequestsAndThreads)
{
    LoopbackResponse setCookie = LoopbackResponse::page("set");
    setCookie.headers.emplace_back("Set-Cookie", "session=abc123; Path=/");
    server.serve(QStringLiteral("/login"), setCookie);
    server.servePage(QStringLiteral("/check"), "checked");

    fetch(urlOf(server, "/login"));
    std::thread other([&] { fetch(urlOf(server, "/check")); });
    other.join();
    EXPECT_EQ(server.requests().back().header("cookie"), "session=abc123");
}

TEST_F(HttpRequestTest, SequentialRequestsReuseOneConnectionAcrossThreads)
{
    server.servePage(QStringLiteral("/page"), QByteArray(5000, 'p'));
    for (int i = 0; i < 5; ++i)
        fetch(urlOf(server, "/page"));
    std::thread other([&] {
        for (int i = 0; i < 5; ++i)
            fetch(urlOf(server, "/page"));
    });
    other.join();
    EXPECT_EQ(server.requestCount(), 10);
    EXPECT_EQ(server.connectionCount(), 1);
}

TEST_F(HttpRequestTest, BrokenTransfersFail)
{
    LoopbackResponse corrupt = LoopbackResponse::page("this is not gzip data at all");
    corrupt.headers.emplace_back("Content-Encoding", "gzip");
    server.serve(QStringLiteral("/corrupt-gzip"), corrupt);
    // A gzip stream cut short must not pass for the whole page.
    const QByteArray whole = LoopbackResponse::gzipped(QByteArray(50000, 'z') + "tail");
    LoopbackResponse truncated = LoopbackResponse::page(whole.left(whole.size() / 2));
    truncated.headers.emplace_back("Content-Encoding", "gzip");
    server.serve(QStringLiteral("/truncated-gzip"), truncated);
    LoopbackResponse dropped = LoopbackResponse::page(QByteArray(100000, 'd'));
    dropped.dropAfter = 1000;
    server.serve(QStringLiteral("/dropped"), dropped);

    EXPECT_EQ(errorCode(*fetch(urlOf(server, "/corrupt-gzip"))), 11);
    EXPECT_EQ(errorCode(*fetch(urlOf(server, "/truncated-gzip"))), 11);
    EXPECT_EQ(errorCode(*fetch(urlOf(server, "/dropped"))), 1);

    QUrl unreachable;
    {
        LoopbackServer gone;
        unreachable = QUrl(gone.url(QStringLiteral("/")));
    }
    auto refused = fetch(unreachable);
    ASSERT_EQ(errorCode(*refused), 1);
    EXPECT_EQ(refused->error()->message, QStringLiteral("A connection failure occurred"));
}

TEST_F(HttpRequestTest, BodiesPastTheSizeLimitFailInsteadOfFillingMemory)
{
    HttpRequest::setMaximumResponseSize(10000);
    server.servePage(QStringLiteral("/big"), QByteArray(20000, 'b'));
    LoopbackResponse bomb = LoopbackResponse::page(QByteArray(200000, '0'));
    bomb.gzip = true; // a few hundred bytes on the wire
    server.serve(QStringLiteral("/bomb"), bomb);
    server.servePage(QStringLiteral("/small"), QByteArray(9000, 's'));

    EXPECT_EQ(errorCode(*fetch(urlOf(server, "/big"))), 10);
    EXPECT_EQ(errorCode(*fetch(urlOf(server, "/bomb"))), 10);
    EXPECT_EQ(errorCode(*fetch(urlOf(server, "/small"))), 0);
}

TEST_F(HttpRequestTest, AuthenticationChallengeEndsWithCode3)
{
    LoopbackResponse challenge = LoopbackResponse::page("who are you");
    challenge.status = 401;
    challenge.headers.emplace_back("WWW-Authenticate", "Basic realm=\"x\"");
    server.serve(QStringLiteral("/private"), challenge);
    auto request = fetch(urlOf(server, "/private"));
    ASSERT_EQ(errorCode(*request), 3);
    EXPECT_EQ(request->error()->message, QStringLiteral("Authentication needed"));
}

TEST_F(HttpRequestTest, BodyHookRunsOnTheRequestThreadBeforeItReturns)
{
    server.servePage(QStringLiteral("/image"), "pixels");
    LoopbackResponse stall;
    stall.stall = true;
    server.serve(QStringLiteral("/stall"), stall);

    std::thread::id hookThread;
    auto request = HttpRequest::requestWithURL(urlOf(server, "/image"));
    request->doCrop = true;
    request->setBodyHook([&](HttpRequest &r) {
        hookThread = std::this_thread::get_id();
        EXPECT_FALSE(r.isFinished());
        EXPECT_EQ(r.responseData(), "pixels");
        r.leftBorder = 3.5f;
    });
    std::thread worker([&] { request->startSynchronous(); });
    const auto workerId = worker.get_id();
    worker.join();
    EXPECT_EQ(hookThread, workerId);
    EXPECT_TRUE(request->isFinished());
    EXPECT_EQ(request->leftBorder, 3.5f);

    bool ran = false;
    auto failing = HttpRequest::requestWithURL(urlOf(server, "/stall"));
    failing->setTimeOutSeconds(0.1);
    failing->setBodyHook([&](HttpRequest &) { ran = true; });
    failing->startSynchronous();
    EXPECT_FALSE(ran);
}

TEST_F(HttpRequestTest, SiteHostNamesUnderLocalhostReachTheLoopbackServer)
{
    server.servePage(QStringLiteral("/manga/"), "directory");
    auto request =
        fetch(QUrl(server.url(QStringLiteral("/manga/"), QStringLiteral("www.mangafox.localhost"))));
    EXPECT_EQ(errorCode(*request), 0);
    EXPECT_EQ(request->responseData(), "directory");
    EXPECT_EQ(server.requests().back().header("host").left(22), "www.mangafox.localhost");
}
