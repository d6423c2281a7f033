// Serves a chapter of each site layout (or of one) on loopback until it is
// stopped, for checks of yomora-cli and the crash soak. Prints one line per
// site: the layout, the "--site" option that points the programs at it, and
// the chapter's address; then "ready".
//
//   yomora-fake-site [--pages N] [--layout onemanga|mangafox|mangareader|mangahere]

#include <cstdio>
#include <memory>
#include <vector>

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include "../download/FakeChapterSite.h"

namespace {

using Layout = FakeChapterSite::Layout;

const struct {
    Layout layout;
    const char *name;
} kLayouts[] = {
    {Layout::OneManga, "onemanga"},
    {Layout::MangaFox, "mangafox"},
    {Layout::MangaReader, "mangareader"},
    {Layout::MangaHere, "mangahere"},
};

// A page scan of some size: margins around a noisy block, so that a JPEG of
// it is not trivially small and its margins are there to be found.
QByteArray pageImage()
{
    QImage image(480, 720, QImage::Format_RGB32);
    image.fill(Qt::white);
    QRandomGenerator random(7);
    for (int y = 30; y < 690; ++y)
        for (int x = 40; x < 440; ++x)
            image.setPixel(x, y, qRgb(random.bounded(256), random.bounded(256), random.bounded(256)));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 80);
    return bytes;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int pages = 3;
    QString only;
    for (qsizetype i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--pages")
            pages = args[i + 1].toInt();
        else if (args[i] == u"--layout")
            only = args[i + 1];
    }
    if (pages < 1) {
        std::fputs("usage: yomora-fake-site [--pages N] [--layout NAME]\n", stderr);
        return 2;
    }
    const QByteArray image = pageImage();
    std::vector<std::unique_ptr<FakeChapterSite>> sites;
    for (const auto &entry : kLayouts) {
        if (!only.isEmpty() && only != QLatin1String(entry.name))
            continue;
        FakeChapterSite::Options options;
        options.pages = pages;
        options.imageData = image;
        sites.push_back(std::make_unique<FakeChapterSite>(entry.layout, options));
        const QString base = sites.back()->readerPageURL(1).section(u'/', 0, 2) + u'/';
        std::printf("%s --site=%s=%s %s\n", entry.name, entry.name, qPrintable(base),
                    qPrintable(sites.back()->chapterURL()));
    }
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}
