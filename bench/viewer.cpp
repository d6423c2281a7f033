// The page viewer against decoding alone, on 1200 x 1800 JPEG pages made
// here, in the phone layout, offscreen:
// - page flip: the decoding worker's whole step per page (read the file,
//   decode at full size, cut by the stored borders, fit) against a full-size
//   decode of the same bytes, with nothing held ahead;
// - the main thread's lateness while flipping through 50 pages;
// - decoded pages alive and resident memory while flipping through 300;
// - first paint: a page shown smaller than its pixels, from asking for it
//   to the window's paint of its picture, against the full-size decode, both
//   on one processor. The pages are grey, and known so the way a download
//   knows it: the cropper measured them.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

#include <sched.h>
#include <turbojpeg.h>

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include "BenchApp.h"
#include "demo/DemoPageImage.h"
#include "files/MyDirectories.h"
#include "reader/Cropper.h"
#include "reader/PageImage.h"
#include "reader/PageImageLoader.h"
#include "reader/PageSizer.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "store/Page.h"
#include "ui/pages/OnePageViewController.h"
#include "ui/pages/PageImageView.h"
#include "ui/pages/PagesViewController.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Holds every thread of the process on the processor the caller runs on,
// while alive. The first paint is mostly the decoding thread's work, and
// the decode it is compared with runs here: on virtual machines whose
// processors run at different paces, the two would otherwise be timed on
// different processors, and the ratio would tell which processor each
// thread happened to get rather than what the paint costs.
class OneProcessor
{
public:
    OneProcessor()
    {
        sched_getaffinity(0, sizeof before_, &before_);
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(sched_getcpu(), &one);
        forEachThread([&](pid_t thread) { sched_setaffinity(thread, sizeof one, &one); });
    }
    ~OneProcessor()
    {
        forEachThread([&](pid_t thread) { sched_setaffinity(thread, sizeof before_, &before_); });
    }
    OneProcessor(const OneProcessor &) = delete;
    OneProcessor &operator=(const OneProcessor &) = delete;

private:
    template <typename F>
    static void forEachThread(F apply)
    {
        const QDir tasks(QStringLiteral("/proc/self/task"));
        for (const QString &name : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            apply(pid_t(name.toInt()));
    }
    cpu_set_t before_;
};

long residentKB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

struct BenchPage {
    QByteArray jpeg;
    float left = 0, right = 0;
    std::optional<bool> gray;
};

// A scanned-looking page with white side margins, at exactly 1200 x 1800.
BenchPage makePage(int index)
{
    const QImage drawn = DemoPageImage::render(11, 1, 1, index + 1)
                             .scaled(1200, 1800, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_RGB32);
    BenchPage page;
    QBuffer buffer(&page.jpeg);
    buffer.open(QIODevice::WriteOnly);
    drawn.save(&buffer, "JPEG", 85);
    // Measured as a download measures an arriving page.
    Cropper cropper(page.jpeg);
    page.gray = cropper.isGray();
    if (cropper.crop()) {
        page.left = cropper.leftBorder();
        page.right = cropper.rightBorder();
    }
    return page;
}

double fullDecodeMs(const QByteArray &jpeg)
{
    tjhandle handle = tjInitDecompress();
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    const auto *data = reinterpret_cast<const unsigned char *>(jpeg.constData());
    tjDecompressHeader3(handle, data, jpeg.size(), &width, &height, &subsampling, &colorspace);
    QImage image(width, height, QImage::Format_RGB32);
    const auto start = Clock::now();
    tjDecompress2(handle, data, jpeg.size(), image.bits(), width, int(image.bytesPerLine()), height,
                  TJPF_BGRX, 0);
    const double ms = millisecondsSince(start);
    tjDestroy(handle);
    return ms;
}

// A chapter of `count` pages, the few drawn pages repeated, in the app's store.
std::shared_ptr<Chapter> addChapter(AppData &data, const std::vector<BenchPage> &drawn, int count,
                                    const char *number)
{
    auto book = data.createBookWithTitle(QStringLiteral("Bench"), QStringLiteral("bench"));
    auto chapter = data.createChapterWithTitle(QStringLiteral("Bench %1").arg(QLatin1String(number)),
                                               Decimal::fromString(QString::fromLatin1(number)), count, true);
    chapter->setBook(book);
    for (int i = 0; i < count; ++i) {
        const BenchPage &source = drawn[std::size_t(i) % drawn.size()];
        auto page = data.createPageWithUrlString(QStringLiteral("http://bench.localhost/%1.jpg").arg(i), i,
                                                 1200, 1800);
        page->setChapter(chapter);
        page->setLeftBorder(source.left);
        page->setRightBorder(source.right);
        page->setIsGray(source.gray);
        page->setIsDownloaded(true);
        data.writeData(source.jpeg, *page);
    }
    data.save();
    return chapter;
}

// Times the paint of the page on screen once its picture is there: the
// paint is handed to the view from here, so that its end is seen, before
// the window's buffer goes to the screen (reported apart).
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(PagesViewController *viewer) : viewer_(viewer) {}
    bool armed = false;
    std::optional<Clock::time_point> painted;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!armed || painted || event->type() != QEvent::Paint)
            return false;
        OnePageViewController *slot = viewer_->currentPageViewController();
        if (slot->display() != OnePageViewController::Display::Image || watched != slot->imageView())
            return false;
        watched->event(event);
        painted = Clock::now();
        return true;
    }

private:
    PagesViewController *viewer_;
};

bool waitShown(PagesViewController *viewer)
{
    QElapsedTimer guard;
    guard.start();
    for (;;) {
        const auto display = viewer->currentPageViewController()->display();
        if (display == OnePageViewController::Display::Image ||
            display == OnePageViewController::Display::Message)
            return true;
        if (guard.elapsed() > 20000)
            return false;
        // Blocks until the decoder hands its page over, leaving the cores
        // to it rather than spinning beside it.
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

} // namespace

int main(int argc, char **argv)
{
    auto application = BenchApp::application(argc, argv);

    std::vector<BenchPage> drawn;
    for (int i = 0; i < 6; ++i)
        drawn.push_back(makePage(i));

    // Page flip: the worker's step against the decode alone, same files.
    QTemporaryDir files;
    std::vector<double> step, alone, stepRatios;
    for (int round = 0; round < 5; ++round) {
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            const QString name = files.filePath(QStringLiteral("%1.jpg").arg(i));
            if (round == 0) {
                QFile file(name);
                file.open(QIODevice::WriteOnly);
                file.write(drawn[i].jpeg);
            }
            alone.push_back(fullDecodeMs(drawn[i].jpeg));
            PageImageRequest request;
            request.fileName = name;
            request.cut = true;
            request.leftBorder = drawn[i].left;
            request.rightBorder = drawn[i].right;
            request.shownScale = 1.0;
            const auto start = Clock::now();
            auto page = PageImageLoader::decode(request);
            PageSizer sizer(QRectF(QPointF(0, 0), QSizeF(page->fullSize())), QRectF(0, 0, 320, 416), 1.0f,
                            true);
            sizer.compute();
            step.push_back(millisecondsSince(start));
            // Each step against the decode measured just before it: other
            // work on the machine then weighs on both alike.
            stepRatios.push_back(step.back() / alone.back());
        }
    }
    const double decodeMs = median(alone);
    std::printf("full-size decode %.2f ms, worker step %.2f ms\n", decodeMs, median(step));
    const double flipRatio = median(stepRatios);
    std::printf("page flip ratio %.2f\n", flipRatio);
    int status = flipRatio > 1.3 ? 1 : 0;

    QTemporaryDir root;
    {
        BenchApp::Run run;
        if (!run.launch(root.path()))
            return 1;
        MangaAppDelegate &app = *run.app;
        MyUserDefaults &defaults = run.defaults;
        defaults.setBool(false, SettingsKeys::autoHideMenu);
        defaults.setBool(true, SettingsKeys::showPagesHelpViewed);
        app.window()->show();
        auto chapter = addChapter(app.appData(), drawn, 300, "1");

        // Lateness of a 1 ms timer while 50 pages are flipped.
        PagesViewController *viewer = app.openChapter(chapter);
        waitShown(viewer);
        double worstLate = 0;
        Clock::time_point expected = Clock::now();
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const auto now = Clock::now();
            worstLate =
                std::max(worstLate, std::chrono::duration<double, std::milli>(now - expected).count() - 1.0);
            expected = now;
        });
        ticker.start(1);
        expected = Clock::now();
        for (int flip = 0; flip < 50; ++flip) {
            viewer->changeToNextPage();
            QElapsedTimer pace;
            pace.start();
            while (pace.elapsed() < 40)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        ticker.stop();
        std::printf("worst lateness of a 1 ms main-thread timer over 50 flips: %.1f ms (at most 16)\n",
                    worstLate);
        if (worstLate > 16)
            status = 1;

        // Decoded pages alive and memory over 300 pages.
        viewer->loadCurrentPage(0);
        waitShown(viewer);
        PageImage::resetHighestLiveCount();
        long rssAfter10 = 0;
        for (int flip = 1; flip < 300; ++flip) {
            viewer->changeToNextPage();
            waitShown(viewer);
            QCoreApplication::processEvents();
            if (flip == 10)
                rssAfter10 = residentKB();
        }
        const long rssAfter300 = residentKB();
        std::printf("decoded pages alive at most %d (at most 3)\n", PageImage::highestLiveCount());
        std::printf("RSS after 10 pages %.1f MB, after 300 pages %.1f MB (growth at most 30 MB)\n",
                    rssAfter10 / 1024.0, rssAfter300 / 1024.0);
        if (PageImage::highestLiveCount() > 3 || rssAfter300 - rssAfter10 > 30 * 1024)
            status = 1;

        // First paint: nothing held ahead, each page decoded afresh, from a
        // viewer at rest (the last flip's slide repaints both page slots
        // for a while).
        viewer->setHoldsNextPage(false);
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 600)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        PaintWatch watch(viewer);
        qApp->installEventFilter(&watch);
        const OneProcessor pinned;
        std::vector<double> paint, onScreen, scaledDecode, paintRatios;
        for (int page = 100; page < 130; ++page) {
            viewer->loader().clear();
            const double fullMs = fullDecodeMs(drawn[std::size_t(page) % drawn.size()].jpeg);
            const auto start = Clock::now();
            watch.armed = true;
            watch.painted.reset();
            viewer->loadCurrentPage(page);
            waitShown(viewer);
            // Painted by the window itself, as the user sees it.
            QElapsedTimer guard;
            guard.start();
            while (!watch.painted && guard.elapsed() < 20000)
                QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
            onScreen.push_back(millisecondsSince(start));
            watch.armed = false;
            paint.push_back(std::chrono::duration<double, std::milli>(watch.painted.value_or(Clock::now()) - start)
                                .count());
            // The rest of the page is decoded next: the decodes timed below
            // and the next page's must not share the cores with it.
            while (viewer->currentPageViewController()->isWaitingForWholePage())
                QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
            paintRatios.push_back(paint.back() / fullMs);
            const auto decodeStart = Clock::now();
            PageImageLoader::decode(viewer->currentPageViewController()->currentRequest());
            scaledDecode.push_back(millisecondsSince(decodeStart));
        }
        std::printf("scaled decode alone %.2f ms, window buffer on screen after %.2f ms\n", median(scaledDecode),
                    median(onScreen));
        const auto *shown = viewer->currentPageViewController()->imageView();
        std::printf("first paint %.2f ms, decoded at %.3f of full size%s\n", median(paint),
                    shown ? shown->page()->scale() : 0.0,
                    shown && shown->page()->image().format() == QImage::Format_Grayscale8 ? " in grey" : "");
        const double firstPaint = median(paintRatios);
        std::printf("first paint ratio %.2f\n", firstPaint);
        if (firstPaint > 0.6)
            status = 1;
        app.window()->hide();
    }
    MyDirectories::setRootDirectory({});
    return status;
}
