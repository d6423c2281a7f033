// The whole page fetcher (records, empty files, requests, the one decode and
// margin finding per page, file writes, saves, notifications) against what
// it cannot avoid: one curl process fetching the same 300 images into files
// over one connection, plus the cropper alone over those files. Prints the
// ratio per chapter and their median (at most 1.2 holds), then the resident memory after the first and
// after the fifth chapter fetched in a row (at most 20 MB apart holds).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "BenchPageImage.h"
#include "download/DeducerFetcher.h"
#include "download/DownloadManager.h"
#include "download/DownloadServices.h"
#include "download/FetcherQueueWrapper.h"
#include "files/MyDirectories.h"
#include "reader/Cropper.h"
#include "store/AppData.h"
#include "support/EventLoop.h"
#include "support/LoopbackServer.h"

namespace {

constexpr int kPages = 300;
constexpr int kChapters = 5;

long residentKB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

class BenchServices : public DownloadServices
{
public:
    AppData &appData() override { return store; }
    AppData store;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    MyDirectories::setRootDirectory(home.path());
    MyDirectories::sharedMyDirectories().createDirectories();

    const QByteArray image = pageImage();
    LoopbackServer server;
    QStringList urls;
    for (int i = 0; i < kPages; ++i) {
        const QString path = QStringLiteral("/page%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
        server.serve(path, LoopbackResponse::page(image, "image/jpeg"));
        urls << server.url(path);
    }
    std::printf("%d images of %lld KB\n", kPages, qint64(image.size()) / 1024);

    // The yardstick: curl over one connection, then the cropper alone.
    QTemporaryDir curlDir;
    QStringList curlArgs{QStringLiteral("-s")};
    for (int i = 0; i < kPages; ++i)
        curlArgs << urls[i] << QStringLiteral("-o") << curlDir.filePath(QString::number(i));
    // The yardstick and the fetcher take turns, so that a machine that gets
    // busier or quieter during the run weighs on both alike.
    QElapsedTimer timer;
    auto measureBaseline = [&](double *curlSeconds, double *cropSeconds) {
        timer.restart();
        QProcess curl;
        curl.start(QStringLiteral("curl"), curlArgs);
        curl.waitForFinished(-1);
        *curlSeconds = timer.nsecsElapsed() / 1e9;
        timer.restart();
        for (int i = 0; i < kPages; ++i) {
            QFile file(curlDir.filePath(QString::number(i)));
            file.open(QIODevice::ReadOnly);
            Cropper cropper(file.readAll());
            if (!cropper.crop())
                std::printf("page %d did not crop\n", i);
        }
        *cropSeconds = timer.nsecsElapsed() / 1e9;
    };

    auto services = std::make_shared<BenchServices>();
    if (!services->store.setup())
        return 1;
    DownloadManager manager(services);
    FetcherQueueWrapper &fetcher = manager.fetcherQueueWrapper();
    std::vector<double> ratios;
    long rssFirst = 0, rssLast = 0;
    for (int chapter = 0; chapter < kChapters; ++chapter) {
        double curlSeconds = 0, cropSeconds = 0;
        measureBaseline(&curlSeconds, &cropSeconds);
        auto download = services->store.createDownloadWithRootTitle(
            QStringLiteral("Bench"), QStringLiteral("Bench"), QStringLiteral("Chapter %1").arg(chapter),
            urls.first(), Decimal::zero(), QDateTime::currentDateTime(), kPages);
        download->setBook(services->store.downloadsBook());
        download->setIsDownloading(true);
        services->store.save();
        timer.restart();
        fetcher.goWithURLs(urls, download, nullptr);
        pumpEventsUntil([&] { return !fetcher.isRunActive(); }, std::chrono::minutes(5));
        const double fetchSeconds = timer.nsecsElapsed() / 1e9;
        ratios.push_back(fetchSeconds / (curlSeconds + cropSeconds));
        std::printf("chapter %d: curl %.3f s + cropper %.3f s = %.3f s; fetcher %.3f s; ratio %.2f\n",
                    chapter + 1, curlSeconds, cropSeconds, curlSeconds + cropSeconds, fetchSeconds,
                    ratios.back());
        if (!download->isComplete())
            std::printf("chapter %d is incomplete\n", chapter);
        // Only the files go: the records stay, as a user's downloads would.
        services->store.removeChapterDirectory(*download);
        (chapter == 0 ? rssFirst : rssLast) = residentKB();
    }

    std::sort(ratios.begin(), ratios.end());
    std::printf("ratio, median of %d: %.2f (at most 1.20); best %.2f\n", kChapters, ratios[ratios.size() / 2],
                ratios.front());
    std::printf("RSS after chapter 1: %.1f MB, after chapter %d: %.1f MB, growth %.1f MB (at most 20)\n",
                rssFirst / 1024.0, kChapters, rssLast / 1024.0, (rssLast - rssFirst) / 1024.0);
    return 0;
}
