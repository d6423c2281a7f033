#include "demo/DemoLayoutMangaHere.h"

#include "sites/mangahere/MangaHereSections.h"

DemoLayoutMangaHere::DemoLayoutMangaHere(const DemoCatalogue &catalogue, int port)
    : DemoLayout(catalogue, QStringLiteral("mangahere"), QStringLiteral("www.mangahere.localhost"),
                 QStringLiteral("c.mhcdn.localhost"), port)
{}

QString DemoLayoutMangaHere::bookPath(int book) const
{
    return QStringLiteral("/manga/%1/").arg(DemoCatalogue::slug(catalogue_.book(book).title, u'_'));
}

QString DemoLayoutMangaHere::chapterDirectory(int book, int chapter) const
{
    const DemoChapter &c = catalogue_.book(book).chapters[size_t(chapter)];
    const QString volume = volumePart(c);
    return bookPath(book) + (volume.isEmpty() ? QString() : volume + u'/') + chapterPart(c) + u'/';
}

QString DemoLayoutMangaHere::chapterURL(int book, int chapter) const
{
    return url(chapterDirectory(book, chapter));
}

QString DemoLayoutMangaHere::readerPath(int book, int chapter, int page) const
{
    return page == 1 ? chapterDirectory(book, chapter)
                     : chapterDirectory(book, chapter) + QString::number(page) + QStringLiteral(".html");
}

QString DemoLayoutMangaHere::imagePath(int book, int chapter, int page) const
{
    const DemoChapter &c = catalogue_.book(book).chapters[size_t(chapter)];
    return QStringLiteral("/store/manga/%1/%2-%3/compressed/%4.%5")
        .arg(5000 + book)
        .arg(c.volume, 2, 10, QLatin1Char('0'))
        .arg(chapterPart(c).mid(1))
        .arg(QStringLiteral("%1_%2")
                 .arg(DemoCatalogue::slug(catalogue_.book(book).title, u'_'))
                 .arg(page, 3, 10, QLatin1Char('0')))
        .arg(usesPNG(book, chapter) ? QStringLiteral("png") : QStringLiteral("jpg"));
}

QString DemoLayoutMangaHere::coverPath(int book) const
{
    return QStringLiteral("/store/manga/%1/cover.jpg").arg(5000 + book);
}

QByteArray DemoLayoutMangaHere::bookPage(int book) const
{
    const DemoBook &b = catalogue_.book(book);
    QString body = QStringLiteral("<div class=\"manga_detail\">\n<div class=\"manga_detail_top clearfix\">\n"
                                  "<img src=\"%1?v=1\" class=\"img\" />\n<ul class=\"detail_topText\">\n")
                       .arg(imageURL(coverPath(book)));
    body +=
        QStringLiteral(
            "<li><label>Alternative Name:</label>%1</li>\n"
            "<li><label>Genre(s):</label>%2</li>\n"
            "<li><label>Author(s):</label><a class=\"color_0077\" href=\"%3\">%4</a></li>\n"
            "<li><label>Artist(s):</label>%5</li>\n"
            "<li><label>Status:</label>%6</li>\n"
            "<li><label>Rank:</label>%7th</li>\n"
            "<li><label><h2>%8</h2> Summary:</label>\n<p id=\"show\">%9</p>\n</li>\n</ul>\n</div>\n</div>\n")
            .arg(escaped(b.title.toUpper()), b.genres.join(QStringLiteral(", ")),
                 url(QStringLiteral("/author/") + DemoCatalogue::slug(b.author, u'_') + u'/'),
                 escaped(b.author), escaped(b.artist), b.status, QString::number(b.rank), escaped(b.title),
                 escaped(b.summary));
    body += QStringLiteral(
                "<div class=\"detail_list\">\n<div class=\"title\"><h3>Read %1 Online</h3></div>\n<ul>\n")
                .arg(escaped(b.title));
    for (int c : chaptersNewestFirst(book)) {
        const DemoChapter &chapter = b.chapters[size_t(c)];
        body += QStringLiteral("<li><span class=\"left\"><a class=\"color_0077\" href=\"%1\">\n%2 %3 </a>"
                               "<span class=\"mr6\">%4</span></span><span class=\"right\">%5</span></li>\n")
                    .arg(chapterURL(book, c), escaped(b.title), chapter.number, escaped(chapter.name),
                         DemoCatalogue::dateText(chapter.daysAgo));
    }
    body += QStringLiteral("</ul>\n<div id=\"commentArea\" class=\"website_comment\"></div>\n</div>\n");
    return document(b.title + QStringLiteral(" Manga - Read Online For Free"), body);
}

QByteArray DemoLayoutMangaHere::readerPage(int book, int chapter, int page) const
{
    DemoReaderPage parts = readerPageParts(book, chapter, page);
    const int pages = catalogue_.book(book).chapters[size_t(chapter)].pages;
    for (int p = 1; p <= pages; ++p)
        parts.pageValues << url(readerPath(book, chapter, p));
    parts.next = page < pages ? url(readerPath(book, chapter, page + 1)) : bookURL(book);
    return renderReaderPage(parts);
}

QByteArray DemoLayoutMangaHere::renderReaderPage(const DemoReaderPage &page)
{
    const QString select =
        QStringLiteral("<select class=\"wid60\" onchange=\"change_page(this)\">\n%1</select>\n")
            .arg(pageOptions(page));
    QString body = readerPageTop(page);
    body += QStringLiteral("<div class=\"readpage_top\"><h1><a href=\"%1\">%2 %3</a></h1></div>\n")
                .arg(page.bookURL, escaped(page.bookTitle), page.chapterNumber);
    body += chapterMenu(page);
    body += select;
    const auto img = [&page](const QString &address) {
        return QStringLiteral("<img src=\"%1\" width=\"800\" id=\"image\" alt=\"%2 %3 Page %4\" />")
            .arg(address, escaped(page.bookTitle), page.chapterNumber)
            .arg(page.page);
    };
    body += QStringLiteral("<section class=\"read_img\" id=\"viewer\">%1</section>\n")
                .arg(readerImages(page, img, QStringLiteral(" onclick=\"return next_page();\"")));
    body += select; // the bottom copy of the page selector
    body += readerPageFooter();
    return document(readerPageTitle(page), body);
}

QByteArray DemoLayoutMangaHere::listPage(const std::vector<int> &books, ListKind kind) const
{
    QString body = kind == ListKind::Search ? QStringLiteral("<div class=\"result_search\">\n<dl>\n")
                                            : QStringLiteral("<div class=\"directory_list\">\n<ul>\n");
    for (int book : books)
        body += QStringLiteral("<li><div class=\"manga_text\"><a class=\"manga_info name_one\" rel=\"%2\" "
                               "href=\"%1\">%2</a></div></li>\n")
                    .arg(bookURL(book), escaped(catalogue_.book(book).title));
    if (kind == ListKind::Search && books.empty())
        body += QStringLiteral("<p>Sorry you've no search result.</p>\n");
    body += kind == ListKind::Search ? QStringLiteral("</dl>\n</div>\n") : QStringLiteral("</ul>\n</div>\n");
    return document(
        kind == ListKind::Search ? QStringLiteral("Search Result") : QStringLiteral("Manga Directory"), body);
}

QString DemoLayoutMangaHere::latestPath() const
{
    return QStringLiteral("/latest/");
}

QByteArray DemoLayoutMangaHere::latestPage() const
{
    QString body = QStringLiteral("<div class=\"manga_updates\">\n");
    const std::vector<DemoRelease> releases = catalogue_.latest();
    for (size_t i = 0; i < releases.size();) {
        const int book = releases[i].book;
        const DemoBook &b = catalogue_.book(book);
        const int day = b.chapters[size_t(releases[i].chapter)].daysAgo;
        body += QStringLiteral(
                    "<dl><dt><i class=\"manga_open\"></i><a rel=\"%2\" class=\"manga_info\" href=\"%1\">%2"
                    "</a><span class=\"time\">%3</span></dt>\n")
                    .arg(bookURL(book), escaped(b.title), DemoCatalogue::dateText(day));
        for (; i < releases.size() && releases[i].book == book &&
               b.chapters[size_t(releases[i].chapter)].daysAgo == day;
             ++i) {
            const QString label = b.title + u' ' + b.chapters[size_t(releases[i].chapter)].number;
            body += QStringLiteral("<dd><a href=\"%1\" title=\"%2\">%2</a> </dd>\n")
                        .arg(chapterURL(book, releases[i].chapter), escaped(label));
        }
        body += QStringLiteral("</dl>\n");
    }
    body += QStringLiteral("</div>\n");
    return document(QStringLiteral("Latest Manga Releases"), body);
}

void DemoLayoutMangaHere::addSiteRoutes(DemoRoutes &routes) const
{
    addSectionRoutes(routes, MangaHereSections(), QString());
    routes.pages[QStringLiteral("/")] = routes.pages[QStringLiteral("/directory/")];
}
