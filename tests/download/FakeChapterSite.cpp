#include "FakeChapterSite.h"

#include "demo/DemoLayoutMangaFox.h"
#include "demo/DemoLayoutMangaHere.h"
#include "demo/DemoLayoutMangaReader.h"
#include "demo/DemoLayoutOneManga.h"
#include "sites/SiteConfig.h"

namespace {

// Indexed by Layout.
const struct {
    SiteConfig::Site site;
    const char *host;
    const char *imageHost;
    const char *bookTitle;
    const char *bookPath;
    const char *chapterNumber;
    QByteArray (*render)(const DemoReaderPage &);
} sites[] = {
    {SiteConfig::Site::OneManga, "www.onemanga.localhost", "img.onemanga.localhost", "Naruto", "/Naruto/",
     "1", DemoLayoutOneManga::renderReaderPage},
    {SiteConfig::Site::MangaFox, "www.mangafox.localhost", "img.mangafox.localhost", "Zui Wu Dao",
     "/manga/zui_wu_dao/", "42", DemoLayoutMangaFox::renderReaderPage},
    {SiteConfig::Site::MangaReader, "www.mangareader.localhost", "i10.mangareader.localhost", "Goong",
     "/goong", "1", DemoLayoutMangaReader::renderReaderPage},
    {SiteConfig::Site::MangaHere, "www.mangahere.localhost", "c.mhcdn.localhost", "Rinne", "/manga/rinne/",
     "2", DemoLayoutMangaHere::renderReaderPage},
};

} // namespace

FakeChapterSite::FakeChapterSite(Layout layout, Options options)
    : layout_(layout), options_(std::move(options)), server_(std::make_unique<LoopbackServer>())
{
    SiteConfig::setOverride(sites[int(layout_)].site, server_->url(QStringLiteral("/"), host()));

    const QByteArray image =
        options_.imageData.isEmpty() ? QByteArray(options_.imageBytes, 'x') : options_.imageData;
    server_->handlePrefix(QStringLiteral("/"), [this, image](const LoopbackRequest &request) {
        if (request.path.endsWith(u".jpg"))
            return LoopbackResponse::page(image, "image/jpeg");
        if (layout_ == Layout::OneManga && request.path == u"/Naruto/1/")
            return LoopbackResponse::page(
                DemoLayoutOneManga::renderCoverPage(QStringLiteral("Naruto"), QStringLiteral("/Naruto/"),
                                                    QStringLiteral("1"), readerPagePath(1)));
        for (int page = 1; page <= options_.pages; ++page)
            if (request.path == readerPagePath(page))
                return LoopbackResponse::page(readerPage(page));
        LoopbackResponse missing = LoopbackResponse::page("<html><body>Not Found</body></html>");
        missing.status = 404;
        return missing;
    });
}

QString FakeChapterSite::host() const
{
    return QString::fromLatin1(sites[int(layout_)].host);
}

QString FakeChapterSite::imageHost() const
{
    return QString::fromLatin1(sites[int(layout_)].imageHost);
}

QString FakeChapterSite::chapterURL() const
{
    if (layout_ == Layout::OneManga)
        return server_->url(QStringLiteral("/Naruto/1/"), host());
    return readerPageURL(1);
}

QString FakeChapterSite::readerPagePath(int page) const
{
    switch (layout_) {
    case Layout::OneManga:
        return QStringLiteral("/Naruto/1/%1/").arg(page, 2, 10, QLatin1Char('0'));
    case Layout::MangaFox:
        return QStringLiteral("/manga/zui_wu_dao/v01/c042/%1.html").arg(page);
    case Layout::MangaReader:
        return page == 1 ? QStringLiteral("/goong/1") : QStringLiteral("/goong/1/%1").arg(page);
    case Layout::MangaHere:
        return page == 1 ? QStringLiteral("/manga/rinne/v01/c002/")
                         : QStringLiteral("/manga/rinne/v01/c002/%1.html").arg(page);
    }
    return {};
}

QString FakeChapterSite::readerPageURL(int page) const
{
    return server_->url(readerPagePath(page), host());
}

QString FakeChapterSite::pageValue(int page) const
{
    switch (layout_) {
    case Layout::OneManga:
        return QStringLiteral("%1").arg(page, 2, 10, QLatin1Char('0'));
    case Layout::MangaFox:
        return QString::number(page);
    case Layout::MangaReader:
        return options_.absolutePageValues ? readerPageURL(page) : readerPagePath(page);
    case Layout::MangaHere:
        return readerPageURL(page);
    }
    return {};
}

QString FakeChapterSite::imagePath(int page, int index) const
{
    const int shown = options_.repeatsImageOf.value(page, page);
    const QString suffix = index == 0 ? QString() : QStringLiteral("-%1").arg(index);
    switch (layout_) {
    case Layout::OneManga:
        return QStringLiteral("/store/manga/Naruto/1/%1.jpg").arg(shown, 2, 10, QLatin1Char('0'));
    case Layout::MangaFox:
        return QStringLiteral("/store/manga/15973/042.0/compressed/k%1%2.jpg")
            .arg(shown, 3, 10, QLatin1Char('0'))
            .arg(suffix);
    case Layout::MangaReader:
        return QStringLiteral("/goong/1/goong-%1%2.jpg").arg(shown).arg(suffix);
    case Layout::MangaHere:
        return QStringLiteral("/store/manga/5793/01-002.0/compressed/r%1%2.jpg")
            .arg(shown, 2, 10, QLatin1Char('0'))
            .arg(suffix);
    }
    return {};
}

QString FakeChapterSite::imageURL(int page, int index) const
{
    return server_->url(imagePath(page, index), imageHost());
}

QString FakeChapterSite::nextLink(int page) const
{
    switch (layout_) {
    case Layout::MangaFox:
        return page < options_.pages ? QStringLiteral("%1.html").arg(page + 1)
                                     : QStringLiteral("../c043/1.html");
    case Layout::MangaReader:
        return page < options_.pages ? readerPagePath(page + 1) : QStringLiteral("/goong/2");
    default:
        return QStringLiteral("javascript:void(0);");
    }
}

QByteArray FakeChapterSite::readerPage(int page) const
{
    const auto &site = sites[int(layout_)];
    DemoReaderPage parts;
    parts.bookTitle = QString::fromLatin1(site.bookTitle);
    parts.bookURL = server_->url(QString::fromLatin1(site.bookPath), host());
    parts.chapterNumber = QString::fromLatin1(site.chapterNumber);
    // An image before the page's own must not be taken for it.
    parts.logoURL = server_->url(QStringLiteral("/static/logo.png"), host());
    parts.matureNotice = page == 1 && options_.matureNotice;
    // Neither may the chapter selector be taken for the page selector.
    parts.chapterMenu = {{QStringLiteral("/c001/"), QStringLiteral("Chapter 1")},
                         {QStringLiteral("/c043/"), QStringLiteral("Chapter 43")}};
    for (int p = 1; p <= options_.pages; ++p)
        parts.pageValues << pageValue(p);
    parts.page = page;
    parts.commentsEntry = layout_ == Layout::MangaFox && options_.commentsPage;
    parts.selectorKey = QStringLiteral("Naruto/1");
    for (int index = 0; index < options_.imagesPerPage; ++index)
        parts.imageURLs << imageURL(page, index);
    const bool linked = layout_ != Layout::OneManga && !options_.pagesWithoutLink.contains(page);
    if (linked)
        parts.next = nextLink(page);
    return site.render(parts);
}

QStringList FakeChapterSite::expectedImageURLs() const
{
    QStringList urls;
    QSet<QString> seen;
    const bool dropRepeats = layout_ == Layout::MangaFox || layout_ == Layout::MangaHere;
    for (int page = 1; page <= options_.pages; ++page) {
        // OneManga derives one address per page from the first image alone.
        const int images = layout_ == Layout::OneManga ? 1 : options_.imagesPerPage;
        for (int index = 0; index < images; ++index) {
            const QString url =
                layout_ == Layout::OneManga
                    ? server_->url(
                          QStringLiteral("/store/manga/Naruto/1/%1.jpg").arg(page, 2, 10, QLatin1Char('0')),
                          imageHost())
                    : imageURL(page, index);
            if (dropRepeats && seen.contains(url))
                continue;
            seen.insert(url);
            urls << url;
        }
    }
    return urls;
}
