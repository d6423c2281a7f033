#include "demo/DemoLayout.h"

#include <QRegularExpression>

#include "files/UrlStringJoins.h"
#include "sites/NavSections.h"

DemoLayout::DemoLayout(const DemoCatalogue &catalogue, QString name, QString host, QString imageHost,
                       int port)
    : catalogue_(catalogue), name_(std::move(name)), host_(std::move(host)), imageHost_(std::move(imageHost)),
      port_(port)
{}

QString DemoLayout::baseURL() const
{
    return url(QStringLiteral("/"));
}

QString DemoLayout::url(const QString &path) const
{
    return QStringLiteral("http://%1:%2%3").arg(host_).arg(port_).arg(path);
}

QString DemoLayout::imageURL(const QString &path) const
{
    return QStringLiteral("http://%1:%2%3").arg(imageHost_).arg(port_).arg(path);
}

QString DemoLayout::bookURL(int book) const
{
    return url(bookPath(book));
}

QString DemoLayout::latestURL() const
{
    return url(latestPath());
}

QString DemoLayout::normalizedPath(const QString &path)
{
    static const QRegularExpression slashes(QStringLiteral("/{2,}"));
    QString normalized = path;
    normalized.replace(slashes, QStringLiteral("/"));
    if (!normalized.startsWith(u'/'))
        normalized.prepend(u'/');
    return normalized;
}

DemoRoutes DemoLayout::routes() const
{
    DemoRoutes routes;
    const auto &books = catalogue_.books();
    for (int b = 0; b < int(books.size()); ++b) {
        routes.pages[normalizedPath(bookPath(b))] = [this, b] { return bookPage(b); };
        routes.images[normalizedPath(coverPath(b))] = DemoImageRef{b, -1, 0, false};
        for (int c = 0; c < int(books[size_t(b)].chapters.size()); ++c) {
            if (!showsChapter(b, c))
                continue;
            const bool png = usesPNG(b, c);
            for (int p = 1; p <= books[size_t(b)].chapters[size_t(c)].pages; ++p) {
                routes.pages[normalizedPath(readerPath(b, c, p))] = [this, b, c, p] {
                    return readerPage(b, c, p);
                };
                routes.images[normalizedPath(imagePath(b, c, p))] = DemoImageRef{b, c, p, png};
            }
        }
    }
    routes.pages[normalizedPath(latestPath())] = [this] { return latestPage(); };
    addSiteRoutes(routes);
    return routes;
}

QByteArray DemoLayout::searchPage(const QString &text) const
{
    return listPage(catalogue_.search(text), ListKind::Search);
}

bool DemoLayout::showsChapter(int, int) const
{
    return true;
}

bool DemoLayout::usesPNG(int book, int chapter) const
{
    return catalogue_.book(book).chapters[size_t(chapter)].png;
}

void DemoLayout::addSectionRoutes(DemoRoutes &routes, const NavSections &sections, const QString &directory,
                                  const QString &suffix) const
{
    for (const NavSection &section : sections.sections()) {
        if (section.useBooksSearch)
            continue;
        QString path = urlStringByAppendingPathComponent(directory, section.urlKey);
        if (!suffix.isEmpty())
            path = urlStringByAppendingPathComponent(path, suffix);
        std::vector<int> books;
        ListKind kind = ListKind::Popular;
        if (section.labelKey == u"All") {
            books = catalogue_.byTitle();
            kind = ListKind::Alphabetical;
        } else if (section.labelKey == u"Popular") {
            books = catalogue_.byRank();
        } else {
            books = catalogue_.inGenre(section.labelKey.mid(section.labelKey.indexOf(u' ') + 1));
        }
        routes.pages[normalizedPath(path)] = [this, books, kind] { return listPage(books, kind); };
    }
}

std::vector<int> DemoLayout::chaptersNewestFirst(int book) const
{
    std::vector<int> chapters;
    for (int c = int(catalogue_.book(book).chapters.size()) - 1; c >= 0; --c)
        if (showsChapter(book, c))
            chapters.push_back(c);
    return chapters;
}

QString DemoLayout::volumePart(const DemoChapter &chapter)
{
    return chapter.volume ? QStringLiteral("v%1").arg(chapter.volume, 2, 10, QLatin1Char('0')) : QString();
}

QString DemoLayout::chapterPart(const DemoChapter &chapter)
{
    const qsizetype dot = chapter.number.indexOf(u'.');
    const QString whole = dot < 0 ? chapter.number : chapter.number.left(dot);
    const QString fraction = dot < 0 ? QString() : chapter.number.mid(dot);
    return QStringLiteral("c%1%2").arg(whole.toInt(), 3, 10, QLatin1Char('0')).arg(fraction);
}

QString DemoLayout::escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QByteArray DemoLayout::document(const QString &title, const QString &body)
{
    return QStringLiteral(
               "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>%1</title>\n"
               "<script type=\"text/javascript\">\n"
               "function change_page(s) { location.href = /^\\d+$/.test(s.value) ? s.value + '.html' "
               ": s.value; }\n"
               "function Change_Page(s) { location.href = '../' + s.value + '/'; }\n"
               "</script>\n</head>\n<body>\n%2\n</body></html>\n")
        .arg(escaped(title), body)
        .toUtf8();
}

QString DemoLayout::matureNotice()
{
    return QStringLiteral("<div class=\"wrong\"><h2>Warning</h2>\n"
                          "<p>The manga is regarded as 'mature' and is blocked here.</p></div>\n");
}
