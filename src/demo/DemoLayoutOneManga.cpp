#include "demo/DemoLayoutOneManga.h"

DemoLayoutOneManga::DemoLayoutOneManga(const DemoCatalogue &catalogue, int port)
    : DemoLayout(catalogue, QStringLiteral("onemanga"), QStringLiteral("www.onemanga.localhost"),
                 QStringLiteral("img.onemanga.localhost"), port)
{}

QString DemoLayoutOneManga::bookPath(int book) const
{
    return u'/' + DemoCatalogue::slug(catalogue_.book(book).title, u'_', true) + u'/';
}

QString DemoLayoutOneManga::chapterDirectory(int book, int chapter) const
{
    return bookPath(book) + catalogue_.book(book).chapters[size_t(chapter)].number + u'/';
}

// The chapter lists link to a cover page, which leads to the first reader page.
QString DemoLayoutOneManga::chapterURL(int book, int chapter) const
{
    return url(chapterDirectory(book, chapter));
}

QString DemoLayoutOneManga::readerPath(int book, int chapter, int page) const
{
    return chapterDirectory(book, chapter) + QStringLiteral("%1/").arg(page, 2, 10, QLatin1Char('0'));
}

QString DemoLayoutOneManga::imagePath(int book, int chapter, int page) const
{
    return QStringLiteral("/store/manga") + chapterDirectory(book, chapter) +
           QStringLiteral("%1.%2")
               .arg(page, 2, 10, QLatin1Char('0'))
               .arg(usesPNG(book, chapter) ? QStringLiteral("png") : QStringLiteral("jpg"));
}

QString DemoLayoutOneManga::coverPath(int book) const
{
    return QStringLiteral("/series") + bookPath(book) + QStringLiteral("logo.jpg");
}

QByteArray DemoLayoutOneManga::bookPage(int book) const
{
    const DemoBook &b = catalogue_.book(book);
    QString body = QStringLiteral("<div id=\"logo\"><img src=\"%1\" alt=\"%2\" /></div>\n")
                       .arg(imageURL(coverPath(book)), escaped(b.title));
    QString genres;
    for (const QString &genre : b.genres)
        genres += (genres.isEmpty() ? QString() : QStringLiteral("<b>,</b> ")) + escaped(genre);
    body +=
        QStringLiteral("<div class=\"side-content\">\n<h3>Series Info</h3>\n"
                       "<p><b>Title:</b> %1</p>\n<p><b>OM Rank:</b> %2</p>\n<p><b>Categories:</b> %3</p>\n"
                       "<p><b>Author:</b> %4</p>\n<p><b>Artist:</b> %5</p>\n<p><b>Chapters:</b> %6</p>\n"
                       "<p><b>Summary</b></p>\n<p>%7</p>\n</div>\n")
            .arg(escaped(b.title), QString::number(b.rank), genres, escaped(b.author), escaped(b.artist),
                 QString::number(b.chapters.size()), escaped(b.summary));
    if (!b.licenseNote.isEmpty())
        body += QStringLiteral("<div class=\"license-note\">\n%1\n</div>\n").arg(escaped(b.licenseNote));
    body += QStringLiteral("<table class=\"ch-table\">\n<tr><th>Chapter</th><th>Date</th></tr>\n");
    for (int c : chaptersNewestFirst(book)) {
        const DemoChapter &chapter = b.chapters[size_t(c)];
        body += QStringLiteral("<tr><td class=\"ch-subject\"><a href=\"%1\">%2 %3%4</a></td>"
                               "<td class=\"ch-date\">%5</td></tr>\n")
                    .arg(chapterDirectory(book, c), escaped(b.title), chapter.number,
                         chapter.name.isEmpty() ? QString() : QStringLiteral(": ") + escaped(chapter.name),
                         DemoCatalogue::dateText(chapter.daysAgo));
    }
    body += QStringLiteral("</table>\n");
    return document(b.title + QStringLiteral(" - Read Online at One Manga"), body);
}

QByteArray DemoLayoutOneManga::readerPage(int book, int chapter, int page) const
{
    DemoReaderPage parts = readerPageParts(book, chapter, page);
    const DemoBook &b = catalogue_.book(book);
    const DemoChapter &c = b.chapters[size_t(chapter)];
    for (int p = 1; p <= c.pages; ++p)
        parts.pageValues << QStringLiteral("%1").arg(p, 2, 10, QLatin1Char('0'));
    parts.bookURL = bookPath(book);
    parts.selectorKey = DemoCatalogue::slug(b.title, u'_', true) + u'/' + c.number;
    parts.next = page < c.pages ? readerPath(book, chapter, page + 1) : bookPath(book);
    return renderReaderPage(parts);
}

QByteArray DemoLayoutOneManga::renderReaderPage(const DemoReaderPage &page)
{
    QString body = readerPageTop(page);
    body += QStringLiteral("<h1><a href=\"%1\">%2</a> %3</h1>\n")
                .arg(page.bookURL, escaped(page.bookTitle), page.chapterNumber);
    body += chapterMenu(page);
    body += QStringLiteral("<select name=\"page\" onchange=\"Change_Page(this, '%1')\">\n%2</select>\n")
                .arg(page.selectorKey, pageOptions(page));
    body += QStringLiteral("<div class=\"one-page\">%1</div>\n")
                .arg(readerImages(page, [](const QString &address) {
                    return QStringLiteral("<img class=\"manga-page\" src=\"%1\" alt=\"Loading... image\" />")
                        .arg(address);
                }));
    body += readerPageFooter();
    return document(readerPageTitle(page), body);
}

QByteArray DemoLayoutOneManga::renderCoverPage(const QString &bookTitle, const QString &bookURL,
                                               const QString &chapterNumber, const QString &firstPageURL)
{
    return document(bookTitle + u' ' + chapterNumber,
                    QStringLiteral("<h1><a href=\"%1\">%2</a></h1>\n"
                                   "<p><a href=\"%3\"><span>Start</span></a> "
                                   "<a href=\"%3\">Begin reading %2 %4</a></p>\n")
                        .arg(bookURL, escaped(bookTitle), firstPageURL, chapterNumber));
}

QByteArray DemoLayoutOneManga::listPage(const std::vector<int> &books, ListKind) const
{
    QString body = QStringLiteral("<table class=\"ch-table\">\n<tr><th class=\"ch-subject\">Manga</th>"
                                  "<th>Rank</th></tr>\n");
    for (int book : books)
        body += QStringLiteral(
                    "<tr><td class=\"ch-subject\"><a href=\"%1\">%2</a> <span class=\"rank\">(%3)</span>"
                    "</td></tr>\n")
                    .arg(bookPath(book), escaped(catalogue_.book(book).title))
                    .arg(catalogue_.book(book).rank);
    body += QStringLiteral("</table>\n");
    return document(QStringLiteral("Manga Directory"), body);
}

QString DemoLayoutOneManga::latestPath() const
{
    return QStringLiteral("/");
}

QByteArray DemoLayoutOneManga::latestPage() const
{
    QString body = QStringLiteral("<table class=\"ch-table\">\n<tr><th>Date</th><th>Chapter</th></tr>\n");
    int day = -1;
    for (const DemoRelease &release : catalogue_.latest()) {
        const DemoBook &b = catalogue_.book(release.book);
        const DemoChapter &c = b.chapters[size_t(release.chapter)];
        QString date;
        if (c.daysAgo != day) {
            day = c.daysAgo;
            date = QStringLiteral("<td class=\"%1\">%2</td>")
                       .arg(day == 0 ? QStringLiteral("ch-date-recent") : QStringLiteral("ch-date"),
                            DemoCatalogue::dateText(day));
        } else {
            date = QStringLiteral("<td></td>");
        }
        body += QStringLiteral("<tr>%1<td class=\"ch-subject\"><a href=\"%2\">%3 Chapter %4</a></td></tr>\n")
                    .arg(date, chapterDirectory(release.book, release.chapter), escaped(b.title), c.number);
    }
    body += QStringLiteral("</table>\n<p><a href=\"/directory/\">Manga directory</a></p>\n");
    return document(QStringLiteral("One Manga - Latest Releases"), body);
}

void DemoLayoutOneManga::addSiteRoutes(DemoRoutes &routes) const
{
    routes.pages[QStringLiteral("/directory/")] = [this] {
        return listPage(catalogue_.byTitle(), ListKind::Alphabetical);
    };
    const auto &books = catalogue_.books();
    for (int b = 0; b < int(books.size()); ++b)
        for (int c = 0; c < int(books[size_t(b)].chapters.size()); ++c)
            routes.pages[normalizedPath(chapterDirectory(b, c))] = [this, b, c] {
                const DemoBook &book = catalogue_.book(b);
                return renderCoverPage(book.title, bookPath(b), book.chapters[size_t(c)].number,
                                       readerPath(b, c, 1));
            };
}
