#include "FakeChapterSite.h"

#include "sites/SiteConfig.h"

namespace {

// Indexed by Layout.
const struct {
    SiteConfig::Site site;
    const char *host;
    const char *imageHost;
} sites[] = {
    {SiteConfig::Site::OneManga, "www.onemanga.localhost", "img.onemanga.localhost"},
    {SiteConfig::Site::MangaFox, "www.mangafox.localhost", "img.mangafox.localhost"},
    {SiteConfig::Site::MangaReader, "www.mangareader.localhost", "i10.mangareader.localhost"},
    {SiteConfig::Site::MangaHere, "www.mangahere.localhost", "c.mhcdn.localhost"},
};

const char kMatureNotice[] = "<div class=\"wrong\"><h2>Warning</h2>"
                             "<p>The manga is regarded as 'mature' and is blocked here.</p></div>";

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
                "<html><body><a href=\"/Naruto/\">Naruto</a> "
                "<a href=\"/Naruto/1/01/\"><span>Start</span></a> "
                "<a href=\"/Naruto/1/01/\">Begin Reading Naruto 1</a></body></html>");
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

QString FakeChapterSite::imageTags(int page) const
{
    QString tags;
    for (int index = 0; index < options_.imagesPerPage; ++index) {
        const QString img = QStringLiteral("<img src=\"%1\" width=\"728\" id=\"image\" alt=\"Page %2\" />")
                                .arg(imageURL(page, index))
                                .arg(page);
        const bool linked = layout_ != Layout::OneManga && !options_.pagesWithoutLink.contains(page);
        if (linked)
            tags += QStringLiteral("<a href=\"%1\" onclick=\"return enlarge()\">\n  %2\n</a>\n")
                        .arg(nextLink(page), img);
        else
            tags += img + u'\n';
    }
    return tags;
}

QByteArray FakeChapterSite::readerPage(int page) const
{
    QString options;
    for (int p = 1; p <= options_.pages; ++p)
        options += QStringLiteral("<option value=\"%1\"%2>%3</option>\n")
                       .arg(pageValue(p), p == page ? QStringLiteral(" selected=\"selected\"") : QString())
                       .arg(p);
    QString select;
    switch (layout_) {
    case Layout::OneManga:
        select =
            QStringLiteral("<select name=\"page\" onchange=\"Change_Page(this, 'Naruto/1')\">\n%1</select>");
        break;
    case Layout::MangaFox:
        if (options_.commentsPage)
            options += QStringLiteral("<option value=\"0\" >Comments</option>\n");
        select = QStringLiteral("<select onchange=\"change_page(this)\" class=\"m\">\n%1</select>");
        break;
    case Layout::MangaReader:
        select = QStringLiteral("<select id=\"pageMenu\" name=\"pageMenu\">\n%1</select>");
        break;
    case Layout::MangaHere:
        select = QStringLiteral("<select class=\"wid60\" onchange=\"change_page(this)\">\n%1</select>");
        break;
    }
    select = select.arg(options);

    QString html =
        QStringLiteral("<!DOCTYPE html>\n<html><head><title>Chapter page %1</title>\n"
                       "<script type=\"text/javascript\">if (a < b && c > d) { next(); }</script>\n"
                       "</head><body>\n<img src=\"%2\" alt=\"logo\">\n")
            .arg(page)
            .arg(server_->url(QStringLiteral("/static/logo.png"), host()));
    if (page == 1 && options_.matureNotice)
        html += QLatin1String(kMatureNotice);
    // A chapter selector comes first on every site; it must not be taken for
    // the page selector.
    html += QStringLiteral(
        "<select id=\"top_chapter_list\" name=\"chapterMenu\" onchange=\"change_chapter(this)\">"
        "<option value=\"/c001/\">Chapter 1</option><option value=\"/c043/\">Chapter 43</option>"
        "</select>\n");
    html += select + u'\n';
    html += QStringLiteral("<div id=\"viewer\">\n%1</div>\n").arg(imageTags(page));
    if (layout_ == Layout::MangaHere)
        html += select + u'\n'; // the bottom copy of the page selector
    html += QStringLiteral("<p>Comments &amp; more</p></body></html>\n");
    return html.toUtf8();
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
