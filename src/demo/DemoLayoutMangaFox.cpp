#include "demo/DemoLayoutMangaFox.h"

#include "sites/mangafox/MangaFoxSections.h"

DemoLayoutMangaFox::DemoLayoutMangaFox(const DemoCatalogue &catalogue, int port)
    : DemoLayout(catalogue, QStringLiteral("mangafox"), QStringLiteral("www.mangafox.localhost"),
                 QStringLiteral("img.mangafox.localhost"), port)
{}

QString DemoLayoutMangaFox::bookPath(int book) const
{
    return QStringLiteral("/manga/%1/").arg(DemoCatalogue::slug(catalogue_.book(book).title, u'_'));
}

QString DemoLayoutMangaFox::chapterDirectory(int book, int chapter) const
{
    const DemoChapter &c = catalogue_.book(book).chapters[size_t(chapter)];
    const QString volume = volumePart(c);
    return bookPath(book) + (volume.isEmpty() ? QString() : volume + u'/') + chapterPart(c) + u'/';
}

QString DemoLayoutMangaFox::chapterURL(int book, int chapter) const
{
    return url(readerPath(book, chapter, 1));
}

QString DemoLayoutMangaFox::readerPath(int book, int chapter, int page) const
{
    return chapterDirectory(book, chapter) + QString::number(page) + QStringLiteral(".html");
}

QString DemoLayoutMangaFox::imagePath(int book, int chapter, int page) const
{
    const DemoChapter &c = catalogue_.book(book).chapters[size_t(chapter)];
    return QStringLiteral("/store/manga/%1/%2%3/compressed/k%4.%5")
        .arg(1000 + book)
        .arg(c.volume ? volumePart(c) + u'-' : QString(), chapterPart(c))
        .arg(page, 3, 10, QLatin1Char('0'))
        .arg(usesPNG(book, chapter) ? QStringLiteral("png") : QStringLiteral("jpg"));
}

QString DemoLayoutMangaFox::coverPath(int book) const
{
    return QStringLiteral("/store/manga/%1/cover.jpg").arg(1000 + book);
}

QByteArray DemoLayoutMangaFox::bookPage(int book) const
{
    const DemoBook &b = catalogue_.book(book);
    QString body =
        QStringLiteral("<div id=\"series_info\">\n<div class=\"cover\"><img width=\"200\" src=\"%1\" "
                       "alt=\"%2\" /></div>\n")
            .arg(imageURL(coverPath(book)), escaped(b.title));
    body += QStringLiteral("<div class=\"data\"><h5>Status:</h5><span>\n  %1\n</span></div>\n").arg(b.status);
    body +=
        QStringLiteral("<div class=\"data\"><h5>Rank:</h5><span>\n  %1th<b>,</b> it has %2 monthly views.\n"
                       "</span></div>\n</div>\n")
            .arg(b.rank)
            .arg(1000 + 97 * (50 - b.rank));
    QString genres;
    for (const QString &genre : b.genres)
        genres += (genres.isEmpty() ? QString() : QStringLiteral(", ")) +
                  QStringLiteral("<a href=\"%1\">%2</a>")
                      .arg(url(QStringLiteral("/search/genres/") + genre + u'/'), escaped(genre));
    body +=
        QStringLiteral("<div id=\"title\">\n<h1>%1</h1>\n<table>\n<tr><th>Released:</th><th>Author(s):</th>"
                       "<th>Artist(s):</th><th>Genre(s):</th></tr>\n"
                       "<tr><td valign=\"top\"><a href=\"/search/released/%2/\">%2</a></td>\n"
                       "<td valign=\"top\"><a href=\"/search/author/\">%3</a></td>\n"
                       "<td valign=\"top\"><a href=\"/search/artist/\">%4</a></td>\n"
                       "<td valign=\"top\">%5</td></tr>\n</table>\n"
                       "<p class=\"summary\">\n%6\n</p>\n</div>\n")
            .arg(escaped(b.title))
            .arg(b.year)
            .arg(escaped(b.author), escaped(b.artist), genres, escaped(b.summary));

    body += QStringLiteral("<div id=\"chapters\">\n");
    int volume = -1;
    for (int c : chaptersNewestFirst(book)) {
        const DemoChapter &chapter = b.chapters[size_t(c)];
        if (chapter.volume != volume) {
            if (volume != -1)
                body += QStringLiteral("</ul>\n");
            volume = chapter.volume;
            body += chapter.volume ? QStringLiteral("<h3 class=\"volume\">Volume %1</h3>\n")
                                         .arg(chapter.volume, 2, 10, QLatin1Char('0'))
                                   : QStringLiteral("<h3 class=\"volume\">Volume TBD</h3>\n");
            body += QStringLiteral("<ul class=\"chlist\">\n");
        }
        const QString label = b.title + u' ' + chapter.number;
        body += QStringLiteral("<li><div>\n<span class=\"date\">%1</span>\n"
                               "<h3><a href=\"%2\" title=\"%3\" class=\"tips\">%3</a>\n"
                               "<span class=\"title nowrap\">%4</span></h3>\n</div></li>\n")
                    .arg(DemoCatalogue::dateText(chapter.daysAgo), chapterURL(book, c), escaped(label),
                         escaped(chapter.name));
    }
    if (volume != -1)
        body += QStringLiteral("</ul>\n");
    body += QStringLiteral("</div>\n");
    return document(b.title + QStringLiteral(" - Read Online"), body);
}

QByteArray DemoLayoutMangaFox::readerPage(int book, int chapter, int page) const
{
    DemoReaderPage parts = readerPageParts(book, chapter, page);
    const int pages = catalogue_.book(book).chapters[size_t(chapter)].pages;
    for (int p = 1; p <= pages; ++p)
        parts.pageValues << QString::number(p);
    parts.commentsEntry = true;
    // The image leads to the next page; the last one back to the book.
    parts.next = page < pages ? QStringLiteral("%1.html").arg(page + 1) : bookURL(book);
    return renderReaderPage(parts);
}

QByteArray DemoLayoutMangaFox::renderReaderPage(const DemoReaderPage &page)
{
    QString options = pageOptions(page);
    if (page.commentsEntry)
        options += QStringLiteral("<option value=\"0\" >Comments</option>\n");
    QString body = readerPageTop(page);
    body += QStringLiteral("<div id=\"top_bar\"><a href=\"%1\">%2</a> %3</div>\n")
                .arg(page.bookURL, escaped(page.bookTitle), page.chapterNumber);
    body += chapterMenu(page);
    body += QStringLiteral("<select onchange=\"change_page(this)\" class=\"m\">\n%1</select> of %2\n")
                .arg(options)
                .arg(page.pageValues.size());
    const auto img = [&page](const QString &address) {
        return QStringLiteral("<img src=\"%1\" width=\"728\" id=\"image\" alt=\"%2 page %3\" />")
            .arg(address, escaped(page.bookTitle))
            .arg(page.page);
    };
    body += QStringLiteral("<div id=\"viewer\">\n%1</div>\n")
                .arg(readerImages(page, img, QStringLiteral(" onclick=\"return enlarge()\"")));
    body += readerPageFooter();
    return document(readerPageTitle(page), body);
}

QByteArray DemoLayoutMangaFox::listPage(const std::vector<int> &books, ListKind) const
{
    QString body = QStringLiteral("<div id=\"mangalist\">\n<ul class=\"list\">\n");
    for (int book : books)
        body += QStringLiteral("<li><a class=\"title manga_open\" href=\"%1\">%2</a></li>\n")
                    .arg(bookURL(book), escaped(catalogue_.book(book).title));
    body += QStringLiteral("</ul>\n</div>\n");
    return document(QStringLiteral("Manga Directory"), body);
}

QString DemoLayoutMangaFox::latestPath() const
{
    return QStringLiteral("/");
}

QByteArray DemoLayoutMangaFox::latestPage() const
{
    QString body = QStringLiteral("<ul id=\"updates\">\n");
    int open = -1;
    for (const DemoRelease &release : catalogue_.latest()) {
        const DemoBook &b = catalogue_.book(release.book);
        const DemoChapter &c = b.chapters[size_t(release.chapter)];
        if (release.book != open) {
            if (open != -1)
                body += QStringLiteral("</dl></div></li>\n");
            open = release.book;
            body += QStringLiteral("<li><div>\n<h3 class=\"title\"><a href=\"%1\" class=\"series_preview "
                                   "manga_open\">%2</a></h3>\n<dl>\n")
                        .arg(bookURL(release.book), escaped(b.title));
        }
        body +=
            QStringLiteral("<dt><em>%1</em><span class=\"chapter nowrap\"><a href=\"%2\" class=\"chapter\">"
                           "%3 %4</a></span></dt>\n")
                .arg(DemoCatalogue::dateText(c.daysAgo), chapterURL(release.book, release.chapter),
                     escaped(b.title), c.number);
    }
    if (open != -1)
        body += QStringLiteral("</dl></div></li>\n");
    body += QStringLiteral("</ul>\n<p><a href=\"/directory/\">Manga directory</a></p>\n");
    return document(QStringLiteral("Latest Manga Releases"), body);
}

void DemoLayoutMangaFox::addSiteRoutes(DemoRoutes &routes) const
{
    const QString directory = QStringLiteral("/directory/");
    addSectionRoutes(routes, MangaFoxSections(), directory, QStringLiteral("1.htm"));
    // The directory itself, for a visitor with a browser.
    routes.pages[directory] = routes.pages[normalizedPath(directory + QStringLiteral("1.htm"))];
}
