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
               "function change_chapter(s) { if (s.selectedIndex < s.length && s.value) location.href = "
               "s.value; }\n"
               "</script>\n</head>\n<body>\n%2\n</body></html>\n")
        .arg(escaped(title), body)
        .toUtf8();
}

QString DemoLayout::matureNotice()
{
    return QStringLiteral("<div class=\"wrong\"><h2>Warning</h2>\n"
                          "<p>The manga is regarded as 'mature' and is blocked here.</p></div>\n");
}

DemoReaderPage DemoLayout::readerPageParts(int book, int chapter, int page) const
{
    const DemoBook &b = catalogue_.book(book);
    const DemoChapter &c = b.chapters[size_t(chapter)];
    DemoReaderPage parts;
    parts.bookTitle = b.title;
    parts.bookURL = bookURL(book);
    parts.chapterNumber = c.number;
    parts.matureNotice = page == 1 && c.mature;
    for (int other : chaptersNewestFirst(book))
        parts.chapterMenu.append(
            {chapterURL(book, other), b.title + u' ' + b.chapters[size_t(other)].number});
    parts.page = page;
    parts.imageURLs << imageURL(imagePath(book, chapter, page));
    return parts;
}

QString DemoLayout::readerPageTitle(const DemoReaderPage &page)
{
    return QStringLiteral("%1 %2 - Page %3").arg(page.bookTitle, page.chapterNumber).arg(page.page);
}

QString DemoLayout::readerPageTop(const DemoReaderPage &page)
{
    QString top;
    if (!page.logoURL.isEmpty())
        top += QStringLiteral("<div class=\"logo\"><img src=\"%1\" width=\"60\" alt=\"%2\" /></div>\n")
                   .arg(page.logoURL, escaped(page.bookTitle));
    if (page.matureNotice)
        top += matureNotice();
    return top;
}

QString DemoLayout::chapterMenu(const DemoReaderPage &page)
{
    if (page.chapterMenu.isEmpty())
        return {};
    QString options;
    for (const auto &[value, label] : page.chapterMenu)
        options += QStringLiteral("<option value=\"%1\">%2</option>").arg(value, escaped(label));
    return QStringLiteral("<select id=\"top_chapter_list\" name=\"chapterMenu\" "
                          "onchange=\"change_chapter(this)\">%1</select>\n")
        .arg(options);
}

QString DemoLayout::pageOptions(const DemoReaderPage &page)
{
    QString options;
    for (int p = 1; p <= int(page.pageValues.size()); ++p)
        options += QStringLiteral("<option value=\"%1\"%2>%3</option>\n")
                       .arg(page.pageValues[p - 1],
                            p == page.page ? QStringLiteral(" selected=\"selected\"") : QString())
                       .arg(p);
    return options;
}

QString DemoLayout::readerImages(const DemoReaderPage &page,
                                 const std::function<QString(const QString &)> &imageTag,
                                 const QString &linkAttributes)
{
    QString images;
    for (const QString &address : page.imageURLs) {
        const QString img = imageTag(address);
        images += page.next.isEmpty()
                      ? img + u'\n'
                      : QStringLiteral("<a href=\"%1\"%2>%3</a>\n").arg(page.next, linkAttributes, img);
    }
    return images;
}

QString DemoLayout::readerPageFooter()
{
    return QStringLiteral("<p class=\"comments\">Comments &amp; more</p>\n");
}
