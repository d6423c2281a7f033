// Fetching from the loopback server: 300 sequential 20 KB pages with
// synchronous requests on one worker thread, and 300 images of 300 KB through
// a request queue of width 1 that reports on the main thread, each against
// the curl command fetching the same URLs in one process. Prints both times
// and ratios (target: at most 1.3) and the TCP connections the server saw for
// the 300 sequential requests (target: exactly 1).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryFile>

#include "support/LoopbackServer.h"
#include "web/HttpRequest.h"
#include "web/HttpRequestQueue.h"
#include "web/HttpRequestQueueDelegate.h"

namespace {

constexpr int kCount = 300;

QByteArray filler(qsizetype size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = 2463534242u + quint32(seed);
    for (qsizetype i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = char('a' + x % 26);
    }
    return bytes;
}

std::vector<QString> serve(LoopbackServer &server, const char *kind, qsizetype size, const QByteArray &type)
{
    std::vector<QString> urls;
    for (int i = 0; i < kCount; ++i) {
        const QString path =
            QStringLiteral("/%1/%2").arg(QString::fromLatin1(kind)).arg(i, 3, 10, QLatin1Char('0'));
        server.serve(path, LoopbackResponse::page(filler(size, i), type));
        urls.push_back(server.url(path));
    }
    return urls;
}

double seconds(const std::function<void()> &run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of several passes after a warm-up, as the one least disturbed by
// other work on the machine. The two contenders take turns so that a burst of
// load elsewhere hits both alike.
std::pair<double, double> bestOfBoth(const std::function<void()> &ours, const std::function<void()> &theirs,
                                     int passes = 7)
{
    ours();
    theirs();
    double a = 1e30, b = 1e30;
    for (int i = 0; i < passes; ++i) {
        a = std::min(a, seconds(ours));
        b = std::min(b, seconds(theirs));
    }
    return {a, b};
}

void curlFetch(const std::vector<QString> &urls)
{
    QTemporaryFile config;
    config.open();
    for (const QString &url : urls)
        config.write("url = \"" + url.toUtf8() + "\"\noutput = \"/dev/null\"\n");
    config.flush();
    QProcess curl;
    curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-K"), config.fileName()});
    curl.waitForFinished(-1);
    if (curl.exitCode() != 0)
        std::fprintf(stderr, "curl failed: %d\n", curl.exitCode());
}

void syncFetch(const std::vector<QString> &urls)
{
    std::thread worker([&] {
        for (const QString &url : urls) {
            HttpRequest request{QUrl(url)};
            request.addRequestHeader(QStringLiteral("User-Agent"), HttpRequest::browserUserAgent());
            request.setTimeOutSeconds(30);
            request.startSynchronous();
            if (request.error())
                std::fprintf(stderr, "request failed: %s\n", qPrintable(url));
        }
    });
    worker.join();
}

struct Drain : HttpRequestQueueDelegate {
    QEventLoop loop;
    int finished = 0;
    void requestDidFinish(const std::shared_ptr<HttpRequest> &) override { ++finished; }
    void requestDidFail(const std::shared_ptr<HttpRequest> &r) override
    {
        std::fprintf(stderr, "queued request failed: %s\n", qPrintable(r->url().toString()));
    }
    void queueDidFinish(HttpRequestQueue &) override { loop.quit(); }
};

void queueFetch(HttpRequestQueue &queue, const std::vector<QString> &urls)
{
    Drain drain;
    queue.setDelegate(&drain);
    for (quint32 i = 0; i < urls.size(); ++i) {
        auto request = HttpRequest::requestWithURL(QUrl(urls[i]));
        request->addRequestHeader(QStringLiteral("User-Agent"), HttpRequest::browserUserAgent());
        request->setTimeOutSeconds(30);
        request->setNumberOfTimesToRetryOnTimeout(4);
        request->number = i;
        queue.addOperation(request);
    }
    queue.go();
    drain.loop.exec();
    queue.setDelegate(nullptr);
    if (drain.finished != int(urls.size()))
        std::fprintf(stderr, "only %d of %zu images arrived\n", drain.finished, urls.size());
}

void report(const char *what, double ours, double curl)
{
    const double ratio = ours / curl;
    std::printf("%-44s ours %7.1f ms, curl %7.1f ms, ratio %.2f (target 1.30) %s\n", what, ours * 1000,
                curl * 1000, ratio, ratio <= 1.3 ? "ok" : "ABOVE TARGET");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    LoopbackServer server;
    const auto pages = serve(server, "page", 20 * 1024, "text/html; charset=utf-8");
    const auto images = serve(server, "image", 300 * 1024, "image/jpeg");

    server.resetCounts();
    syncFetch(pages);
    const int connections = server.connectionCount();
    const int requests = server.requestCount();

    const auto [syncOurs, syncCurl] = bestOfBoth([&] { syncFetch(pages); }, [&] { curlFetch(pages); });

    HttpRequestQueue queue;
    queue.setMaxConcurrentOperationCount(1);
    const auto [queueOurs, queueCurl] =
        bestOfBoth([&] { queueFetch(queue, images); }, [&] { curlFetch(images); });

    report("300 pages of 20 KB, synchronous, 1 thread", syncOurs, syncCurl);
    report("300 images of 300 KB, queue of width 1", queueOurs, queueCurl);
    std::printf("TCP connections for %d sequential requests: %d (target 1) %s\n", requests, connections,
                connections == 1 ? "ok" : "NOT REUSED");
    return 0;
}
