#include "demo/DemoLayoutMangaReader.h"

#include "sites/mangareader/MangaReaderSections.h"

DemoLayoutMangaReader::DemoLayoutMangaReader(const DemoCatalogue &catalogue, int port)
    : DemoLayout(catalogue, QStringLiteral("mangareader"), QStringLiteral("www.mangareader.localhost"),
                 QStringLiteral("i1.mangareader.localhost"), port)
{}

bool DemoLayoutMangaReader::showsChapter(int book, int chapter) const
{
    return !catalogue_.book(book).chapters[size_t(chapter)].number.contains(u'.');
}

// The deducers know this site's images by their ".jpg" ending.
bool DemoLayoutMangaReader::usesPNG(int, int) const
{
    return false;
}

QString DemoLayoutMangaReader::bookPath(int book) const
{
    return u'/' + DemoCatalogue::slug(catalogue_.book(book).title, u'-');
}

QString DemoLayoutMangaReader::chapterPath(int book, int chapter) const
{
    return bookPath(book) + u'/' + catalogue_.book(book).chapters[size_t(chapter)].number;
}

QString DemoLayoutMangaReader::chapterURL(int book, int chapter) const
{
    return showsChapter(book, chapter) ? url(chapterPath(book, chapter)) : QString();
}

QString DemoLayoutMangaReader::readerPath(int book, int chapter, int page) const
{
    return page == 1 ? chapterPath(book, chapter) : chapterPath(book, chapter) + u'/' + QString::number(page);
}

QString DemoLayoutMangaReader::imagePath(int book, int chapter, int page) const
{
    const QString slug = DemoCatalogue::slug(catalogue_.book(book).title, u'-');
    return QStringLiteral("/%1/%2/%1-%3.jpg")
        .arg(slug, catalogue_.book(book).chapters[size_t(chapter)].number)
        .arg(page);
}

QString DemoLayoutMangaReader::coverPath(int book) const
{
    const QString slug = DemoCatalogue::slug(catalogue_.book(book).title, u'-');
    return QStringLiteral("/cover/%1/%1-l0.jpg").arg(slug);
}

QByteArray DemoLayoutMangaReader::bookPage(int book) const
{
    const DemoBook &b = catalogue_.book(book);
    QString genres;
    for (const QString &genre : b.genres)
        genres += QStringLiteral("<a href=\"/popular/%1\"><span class=\"genretags\">%2</span></a>")
                      .arg(DemoCatalogue::slug(genre, u'-'), escaped(genre));
    QString body = QStringLiteral("<div id=\"mangaimg\"><img src=\"%1\" alt=\"%2\" /></div>\n")
                       .arg(imageURL(coverPath(book)), escaped(b.title));
    body += QStringLiteral(
                "<div id=\"mangaproperties\">\n<table>\n"
                "<tr><td class=\"propertytitle\">Name:</td><td><h2 class=\"aname\">%1</h2></td></tr>\n"
                "<tr><td class=\"propertytitle\">Year of Release:</td><td>%2</td></tr>\n"
                "<tr><td class=\"propertytitle\">Status:</td><td>%3</td></tr>\n"
                "<tr><td class=\"propertytitle\">Author:</td><td>%4</td></tr>\n"
                "<tr><td class=\"propertytitle\">Artist:</td><td>%5</td></tr>\n"
                "<tr><td class=\"propertytitle\">Genre:</td><td>%6</td></tr>\n"
                "</table>\n</div>\n<div id=\"readmangasum\"><h2>Read %1 Manga Online</h2>\n<p>%7</p></div>\n")
                .arg(escaped(b.title))
                .arg(b.year)
                .arg(b.status, escaped(b.author), escaped(b.artist), genres, escaped(b.summary));
    body += QStringLiteral(
        "<table id=\"listing\">\n<tr class=\"table_head\"><th>Chapter Name</th><th>Date Added</th></tr>\n");
    std::vector<int> chapters = chaptersNewestFirst(book);
    for (auto it = chapters.rbegin(); it != chapters.rend(); ++it) {
        const DemoChapter &chapter = b.chapters[size_t(*it)];
        body += QStringLiteral("<tr><td><div class=\"chico_manga\"></div>\n<a href=\"%1\">%2 %3</a> : %4</td>"
                               "<td>%5</td></tr>\n")
                    .arg(url(chapterPath(book, *it)), escaped(b.title), chapter.number, escaped(chapter.name),
                         DemoCatalogue::dateText(chapter.daysAgo, true));
    }
    body += QStringLiteral("</table>\n");
    return document(b.title + QStringLiteral(" Manga - Read Online"), body);
}

QByteArray DemoLayoutMangaReader::readerPage(int book, int chapter, int page) const
{
    DemoReaderPage parts = readerPageParts(book, chapter, page);
    const int pages = catalogue_.book(book).chapters[size_t(chapter)].pages;
    for (int p = 1; p <= pages; ++p)
        parts.pageValues << readerPath(book, chapter, p);
    parts.next = page < pages ? url(readerPath(book, chapter, page + 1)) : bookURL(book);
    return renderReaderPage(parts);
}

QByteArray DemoLayoutMangaReader::renderReaderPage(const DemoReaderPage &page)
{
    QString body = readerPageTop(page);
    body += QStringLiteral("<div id=\"mangainfo\"><h1>%1 %2</h1> <span>Page %3</span></div>\n")
                .arg(escaped(page.bookTitle), page.chapterNumber)
                .arg(page.page);
    body += chapterMenu(page);
    body +=
        QStringLiteral(
            "<div id=\"selectpage\"><select id=\"pageMenu\" name=\"pageMenu\">\n%1</select> of %2</div>\n")
            .arg(pageOptions(page))
            .arg(page.pageValues.size());
    const auto img = [&page](const QString &address) {
        return QStringLiteral(
                   "<img id=\"img\" width=\"800\" src=\"%1\" alt=\"%2 %3 - Page %4\" name=\"img\" />")
            .arg(address, escaped(page.bookTitle), page.chapterNumber)
            .arg(page.page);
    };
    body += QStringLiteral("<div id=\"imgholder\">%1</div>\n").arg(readerImages(page, img));
    body += readerPageFooter();
    return document(readerPageTitle(page), body);
}

QByteArray DemoLayoutMangaReader::listPage(const std::vector<int> &books, ListKind kind) const
{
    QString body;
    if (kind == ListKind::Alphabetical) {
        QChar letter;
        for (int book : books) {
            const QString &title = catalogue_.book(book).title;
            if (title.at(0).toUpper() != letter) {
                if (!letter.isNull())
                    body += QStringLiteral("</ul>\n</div>\n");
                letter = title.at(0).toUpper();
                body += QStringLiteral(
                            "<div class=\"series_alpha\">\n<h2 class=\"series_alpha\"><a name=\"%1\">%1</a>"
                            "</h2>\n<ul class=\"series_alpha\">\n")
                            .arg(letter);
            }
            body += QStringLiteral("<li><a href=\"%1\">%2</a></li>\n").arg(bookURL(book), escaped(title));
        }
        if (!letter.isNull())
            body += QStringLiteral("</ul>\n</div>\n");
        return document(QStringLiteral("Manga List"), body);
    }
    body = QStringLiteral("<div id=\"mangaresults\">\n");
    for (int book : books)
        body += QStringLiteral(
                    "<div class=\"mangaresultitem\">\n<div class=\"manga_name\"><div><h3><a href=\"%1\">%2"
                    "</a></h3></div></div>\n</div>\n")
                    .arg(bookURL(book), escaped(catalogue_.book(book).title));
    body += QStringLiteral("</div>\n");
    return document(QStringLiteral("Popular Manga"), body);
}

QString DemoLayoutMangaReader::latestPath() const
{
    return QStringLiteral("/latest");
}

QByteArray DemoLayoutMangaReader::latestPage() const
{
    // One row per book and day: a row's chapters share its date cell.
    QString body = QStringLiteral("<table class=\"updates\">\n");
    const std::vector<DemoRelease> releases = catalogue_.latest();
    for (size_t i = 0; i < releases.size();) {
        const int book = releases[i].book;
        const DemoBook &b = catalogue_.book(book);
        const int day = b.chapters[size_t(releases[i].chapter)].daysAgo;
        QString links;
        for (; i < releases.size() && releases[i].book == book &&
               b.chapters[size_t(releases[i].chapter)].daysAgo == day;
             ++i)
            if (showsChapter(book, releases[i].chapter))
                links += QStringLiteral("<a class=\"chaptersrec\" href=\"%1\">%2 %3</a><br />\n")
                             .arg(url(chapterPath(book, releases[i].chapter)), escaped(b.title),
                                  b.chapters[size_t(releases[i].chapter)].number);
        if (links.isEmpty())
            continue;
        body += QStringLiteral(
                    "<tr class=\"c2\">\n<td class=\"manga_open\"></td>\n<td><a class=\"chapter\" "
                    "href=\"%1\"><strong>%2</strong></a> <br />\n%3</td>\n<td class=\"c1\">%4</td>\n</tr>\n")
                    .arg(bookURL(book), escaped(b.title), links, DemoCatalogue::dateText(day, true));
    }
    body += QStringLiteral("</table>\n");
    return document(QStringLiteral("Latest Manga Releases"), body);
}

void DemoLayoutMangaReader::addSiteRoutes(DemoRoutes &routes) const
{
    addSectionRoutes(routes, MangaReaderSections(), QString());
    routes.pages[QStringLiteral("/")] = routes.pages[QStringLiteral("/alphabetical")];
}
