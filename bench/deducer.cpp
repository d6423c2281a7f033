// Deduction of a 300-page chapter in MangaReader's layout from the loopback
// server, against fetching the same 300 reader pages with the synchronous
// request alone. On loopback a request costs a fraction of a millisecond, so
// the deducer's own work (decoding, tokenizing, image tests) shows at its
// largest. Target: the deduction takes at most 1.5 times the bare fetches.
// Also prints pages per second, the parse time per page and peak memory.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include <sys/resource.h>

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "catalogue/SiteRegistry.h"
#include "deduction/Deducer.h"
#include "deduction/DeducerDelegate.h"
#include "deduction/ImageParserDelegate.h"
#include "sites/SiteConfig.h"
#include "support/LoopbackServer.h"
#include "web/HttpRequest.h"
#include "web/HyperParser.h"
#include "web/PageTextFetcher.h"

namespace {

constexpr int kPages = 300;
const QString kHost = QStringLiteral("www.mangareader.localhost");

QString pagePath(int page)
{
    return page == 1 ? QStringLiteral("/goong/1") : QStringLiteral("/goong/1/%1").arg(page);
}

// A reader page as the site writes it: header, chapter menu, the page menu
// with every page of the chapter, the linked page image, a footer.
QByteArray readerPage(const LoopbackServer &server, int page)
{
    QString options;
    for (int p = 1; p <= kPages; ++p)
        options += QStringLiteral("<option value=\"%1\"%2>%3</option>\n")
                       .arg(pagePath(p), p == page ? QStringLiteral(" selected=\"selected\"") : QString())
                       .arg(p);
    QString html = QStringLiteral("<!DOCTYPE html>\n<html><head><title>Goong 1 - Page %1</title>\n"
                                  "<meta name=\"description\" content=\"Goong 1 page %1\">\n"
                                  "<script type=\"text/javascript\">var document_page = %1;</script>\n"
                                  "</head><body><div id=\"container\"><div id=\"logoimg\"></div>\n")
                       .arg(page);
    for (int i = 0; i < 20; ++i)
        html += QStringLiteral("<div class=\"menu\"><a href=\"/genre/%1\">Genre %1</a></div>\n").arg(i);
    html += QStringLiteral("<select id=\"chapterMenu\" name=\"chapterMenu\"></select>\n"
                           "<select id=\"pageMenu\" name=\"pageMenu\">%1</select>\n")
                .arg(options);
    html +=
        QStringLiteral("<div id=\"imgholder\"><a href=\"%1\"><img id=\"img\" width=\"800\" height=\"1124\" "
                       "src=\"%2\" alt=\"Goong 1 - Page %3\" name=\"img\" /></a></div>\n")
            .arg(pagePath(std::min(page + 1, kPages)),
                 server.url(QStringLiteral("/goong/1/goong-%1.jpg").arg(page),
                            QStringLiteral("i10.mangareader.localhost")))
            .arg(page);
    html += QStringLiteral("<div id=\"adfooter\">Goong 1 - Read Goong Chapter 1 Page %1 online</div>"
                           "</div></body></html>\n")
                .arg(page);
    return html.toUtf8();
}

struct Site {
    LoopbackServer server;
    QString firstPageURL;
    Site()
    {
        for (int page = 1; page <= kPages; ++page)
            server.servePage(pagePath(page), readerPage(server, page));
        server.handlePrefix(QStringLiteral("/goong/1/goong-"), [](const LoopbackRequest &) {
            return LoopbackResponse::page(QByteArray(150 * 1024, 'x'), "image/jpeg");
        });
        SiteConfig::setOverride(SiteConfig::Site::MangaReader, server.url(QStringLiteral("/"), kHost));
        firstPageURL = server.url(pagePath(1), kHost);
    }
};

Site &site()
{
    static Site s;
    return s;
}

class Outcome : public DeducerDelegate
{
public:
    void deducerFinished(Deducer &deducer) override { urls = int(deducer.urlStrings().size()); }
    void deducerFailed(Deducer &) override { urls = -1; }
    int urls = 0;
};

int deduceOnce()
{
    // The server logs every request; the log is not what is measured.
    site().server.resetCounts();
    Outcome outcome;
    auto deducer =
        SiteRegistry::deducerWithSelectPages(std::nullopt, std::nullopt, QString(), site().firstPageURL,
                                             QStringLiteral("web page title"), nullptr, &outcome);
    deducer->setCheckHeaderLimit(2);
    deducer->start(); // on this thread, as on a deduction queue's worker
    return outcome.urls;
}

qint64 fetchOnce()
{
    site().server.resetCounts();
    qint64 bytes = 0;
    for (int page = 1; page <= kPages; ++page) {
        HttpRequest request(QUrl(site().server.url(pagePath(page), kHost)));
        request.addRequestHeader(QStringLiteral("User-Agent"), HttpRequest::browserUserAgent());
        request.setTimeOutSeconds(30);
        request.setNumberOfTimesToRetryOnTimeout(4);
        request.startSynchronous();
        bytes += request.responseData().size();
    }
    return bytes;
}

void BM_FetchPagesOnly(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(fetchOnce());
    state.counters["pages/s"] = benchmark::Counter(kPages, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_FetchPagesOnly)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();

void BM_DeduceChapter(benchmark::State &state)
{
    for (auto _ : state)
        if (deduceOnce() != kPages)
            state.SkipWithError("deduction failed");
    state.counters["pages/s"] = benchmark::Counter(kPages, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DeduceChapter)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();

double seconds(const std::function<void()> &fn)
{
    const auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long statusKiB(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::string(field).size()));
    return -1;
}

// What parsing costs per visited page: the image parser over the page text,
// decoded from the bytes the server sends; fastest of a few rounds.
double parseSecondsPerPage()
{
    std::vector<QByteArray> bodies;
    for (int page = 2; page <= kPages; ++page)
        bodies.push_back(readerPage(site().server, page));
    int found = 0;
    double total = 1e9;
    for (int round = 0; round < 9; ++round)
        total = std::min(total, seconds([&] {
                             for (const QByteArray &body : bodies) {
                                 const QString text = PageTextFetcher::decodeUtf8(body);
                                 ImageParserDelegate images;
                                 HyperParser parser(text);
                                 parser.setDelegate(&images);
                                 parser.parse();
                                 found += int(images.images().size());
                             }
                         }));
    benchmark::DoNotOptimize(found);
    return total / double(bodies.size());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    site();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    // Interleaved rounds, fastest of each, so that both sides see the same
    // machine load.
    constexpr int kRounds = 25;
    double fetch = 1e9, deduce = 1e9;
    const long rssBefore = statusKiB("VmRSS:");
    long rssAfterFirst = 0;
    for (int round = 0; round < kRounds; ++round) {
        fetch = std::min(fetch, seconds([] { fetchOnce(); }));
        deduce = std::min(deduce, seconds([] { deduceOnce(); }));
        if (round == 0)
            rssAfterFirst = statusKiB("VmRSS:");
    }
    const long rssAfter = statusKiB("VmRSS:");
    const double parse = parseSecondsPerPage();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    const double ratio = deduce / fetch;
    std::printf("\n%d-page MangaReader-layout chapter on the loopback server, fastest of %d rounds:\n",
                kPages, kRounds);
    std::printf("fetch pages only (baseline): %8.1f ms  %7.0f pages/s\n", fetch * 1e3, kPages / fetch);
    std::printf("deduce chapter:              %8.1f ms  %7.0f pages/s\n", deduce * 1e3, kPages / deduce);
    std::printf("ratio: %.2f (target <= 1.50) %s\n", ratio, ratio <= 1.5 ? "ok" : "ABOVE TARGET");
    std::printf("parse time per page (UTF-8 decode + image parser): %.3f ms\n", parse * 1e3);
    std::printf("memory: peak RSS %.1f MiB; RSS %.1f MiB before, %.1f after one deduction, %.1f after %d\n",
                usage.ru_maxrss / 1024.0, rssBefore / 1024.0, rssAfterFirst / 1024.0, rssAfter / 1024.0,
                kRounds);
    return 0;
}
