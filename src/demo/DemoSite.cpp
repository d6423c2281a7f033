#include "demo/DemoSite.h"

#include <QUrl>

#include "demo/DemoLayoutMangaFox.h"
#include "demo/DemoLayoutMangaHere.h"
#include "demo/DemoLayoutMangaReader.h"
#include "demo/DemoLayoutOneManga.h"
#include "demo/DemoPageImage.h"

namespace {

constexpr size_t kCachedImages = 48;

QString hostWithoutPort(const QByteArray &header)
{
    QString host = QString::fromLatin1(header).toLower();
    const qsizetype colon = host.lastIndexOf(u':');
    if (colon >= 0 && !host.endsWith(u']'))
        host.truncate(colon);
    return host;
}

// The search form's text as the app sends it: spaces as "+", and "&", "'"
// and '"' as "%26;", "%27;" and "%22;". A MangaFox list address also gets
// "/1.htm" appended after it.
QString searchText(const QString &target)
{
    const qsizetype start = target.indexOf(QStringLiteral("name="));
    if (start < 0)
        return {};
    QString text = target.mid(start + 5);
    const qsizetype end = text.indexOf(u'&');
    if (end >= 0)
        text.truncate(end);
    if (text.endsWith(QStringLiteral("/1.htm")))
        text.chop(6);
    text.replace(u'+', u' ');
    text.replace(QStringLiteral("%26;"), QStringLiteral("&"));
    text.replace(QStringLiteral("%27;"), QStringLiteral("'"));
    text.replace(QStringLiteral("%22;"), QStringLiteral("\""));
    return QUrl::fromPercentEncoding(text.toUtf8());
}

LoopbackResponse text(const QString &body)
{
    return LoopbackResponse::page(body.toUtf8(), "text/plain; charset=utf-8");
}

} // namespace

DemoSite::DemoSite(Options options)
    : options_(options), catalogue_(options.seed), server_(std::make_unique<LoopbackServer>(options.port))
{
    server_->setRecording(false);
    if (server_->port() <= 0)
        return;
    const int port = server_->port();
    layouts_.push_back(std::make_unique<DemoLayoutMangaFox>(catalogue_, port));
    layouts_.push_back(std::make_unique<DemoLayoutMangaReader>(catalogue_, port));
    layouts_.push_back(std::make_unique<DemoLayoutMangaHere>(catalogue_, port));
    layouts_.push_back(std::make_unique<DemoLayoutOneManga>(catalogue_, port));
    for (const auto &layout : layouts_)
        routes_.push_back(layout->routes());
    server_->handlePrefix(QStringLiteral("/"),
                          [this](const LoopbackRequest &request) { return answer(request); });
}

DemoSite::~DemoSite()
{
    // The server's threads use the layouts: stop them first.
    server_.reset();
}

int DemoSite::port() const
{
    return server_->port();
}

const DemoLayout *DemoSite::layout(const QString &name) const
{
    for (const auto &layout : layouts_)
        if (layout->name() == name)
            return layout.get();
    return nullptr;
}

QString DemoSite::controlURL() const
{
    return QStringLiteral("http://127.0.0.1:%1/__demo/").arg(port());
}

QString DemoSite::addresses() const
{
    QString lines;
    for (const auto &layout : layouts_)
        lines += layout->name() + u' ' + layout->baseURL() + u'\n';
    lines += QStringLiteral("control ") + controlURL() + u'\n';
    return lines;
}

QString DemoSite::specials() const
{
    QString lines;
    const auto add = [&](const QString &kind, DemoRelease release) {
        for (const auto &layout : layouts_) {
            const QString url = layout->chapterURL(release.book, release.chapter);
            if (!url.isEmpty())
                lines += layout->name() + u' ' + kind + u' ' + url + u'\n';
        }
    };
    add(QStringLiteral("missing-page"), catalogue_.missingPageChapter());
    add(QStringLiteral("mature"), catalogue_.matureChapter());
    add(QStringLiteral("slow"), catalogue_.slowChapter());
    for (const auto &layout : layouts_)
        if (layout->name() == u"onemanga")
            lines += layout->name() + QStringLiteral(" licence-note ") +
                     layout->bookURL(catalogue_.licenseNoteBook()) + u'\n';
    return lines;
}

void DemoSite::setRepaired(bool repaired)
{
    repaired_ = repaired;
}

LoopbackResponse DemoSite::notFound()
{
    LoopbackResponse response = LoopbackResponse::page("<html><body><h1>Not Found</h1></body></html>");
    response.status = 404;
    return response;
}

LoopbackResponse DemoSite::answer(const LoopbackRequest &request)
{
    if (request.path.startsWith(QStringLiteral("/__demo/")) || request.path == u"/__demo")
        return control(request.path);
    const QString host = hostWithoutPort(request.header("host"));
    const QString path = DemoLayout::normalizedPath(request.path);
    for (size_t i = 0; i < layouts_.size(); ++i) {
        const DemoLayout &layout = *layouts_[i];
        if (host == layout.host()) {
            if (path.endsWith(QStringLiteral("search.php"))) {
                const QByteArray page = layout.searchPage(searchText(request.target));
                return page.isNull() ? notFound() : LoopbackResponse::page(page);
            }
            const auto page = routes_[i].pages.find(path);
            return page == routes_[i].pages.end() ? notFound() : LoopbackResponse::page(page->second());
        }
        if (host == layout.imageHost()) {
            const auto found = routes_[i].images.find(path);
            return found == routes_[i].images.end() ? notFound()
                                                    : image(found->second, host + path, request.method);
        }
    }
    if (path == u"/")
        return LoopbackResponse::page(indexPage().toUtf8());
    return notFound();
}

LoopbackResponse DemoSite::control(const QString &path)
{
    if (path == u"/__demo/repair") {
        setRepaired(true);
        return text(QStringLiteral("repaired\n"));
    }
    if (path == u"/__demo/break") {
        setRepaired(false);
        return text(QStringLiteral("broken\n"));
    }
    if (path == u"/__demo/specials")
        return text(specials());
    if (path == u"/__demo/" || path == u"/__demo")
        return LoopbackResponse::page(indexPage().toUtf8());
    return notFound();
}

LoopbackResponse DemoSite::image(const DemoImageRef &ref, const QString &key, const QByteArray &method)
{
    if (ref.chapter >= 0) {
        const DemoChapter &chapter = catalogue_.book(ref.book).chapters[size_t(ref.chapter)];
        if (chapter.missingPage == ref.page && !repaired_)
            return notFound();
    }
    std::pair<QByteArray, QByteArray> bytes;
    {
        std::lock_guard lock(cacheMutex_);
        auto cached = cache_.find(key);
        if (cached != cache_.end())
            bytes = cached->second;
    }
    if (bytes.first.isEmpty()) {
        if (ref.chapter < 0)
            bytes = {DemoPageImage::cover(options_.seed, ref.book), "image/jpeg"};
        else
            bytes = {DemoPageImage::encoded(options_.seed, ref.book, ref.chapter, ref.page, ref.png),
                     ref.png ? "image/png" : "image/jpeg"};
        std::lock_guard lock(cacheMutex_);
        if (cache_.emplace(key, bytes).second) {
            cacheOrder_.push_back(key);
            if (cacheOrder_.size() > kCachedImages) {
                cache_.erase(cacheOrder_.front());
                cacheOrder_.pop_front();
            }
        }
    }
    LoopbackResponse response = LoopbackResponse::page(bytes.first, bytes.second);
    // Probes stay quick; only the downloads of the slow chapter crawl.
    if (ref.chapter >= 0 && method == "GET" && catalogue_.book(ref.book).chapters[size_t(ref.chapter)].slow)
        response.delay = options_.delay;
    return response;
}

QString DemoSite::indexPage() const
{
    QString body =
        QStringLiteral("<h1>Yomora demo site</h1>\n<p>A made-up catalogue (seed %1) in the layout of "
                       "each site Yomora reads.</p>\n<ul>\n")
            .arg(options_.seed);
    for (const auto &layout : layouts_)
        body +=
            QStringLiteral("<li>%1: <a href=\"%2\">%2</a> (latest releases: <a href=\"%3\">%3</a>)</li>\n")
                .arg(layout->name(), layout->baseURL(), layout->latestURL());
    body += QStringLiteral("</ul>\n<h2>Special chapters</h2>\n<ul>\n");
    for (const QString &line : specials().split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList parts = line.split(u' ');
        body += QStringLiteral("<li>%1 %2: <a href=\"%3\">%3</a></li>\n")
                    .arg(parts.value(0), parts.value(1), parts.value(2));
    }
    body += QStringLiteral("</ul>\n<p><a href=\"/__demo/repair\">Repair the missing page</a> · "
                           "<a href=\"/__demo/break\">Break it again</a></p>\n");
    return QStringLiteral(
               "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Yomora demo site</title>"
               "</head>\n<body>\n%1</body></html>\n")
        .arg(body);
}
