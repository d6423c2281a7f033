#pragma once

#include <memory>
#include <ostream>

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

#include "support/LoopbackServer.h"

// Readable failures for the texts and lists the tests compare.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

// A whole chapter of one site's reader pages and images, written in that
// site's markup by the demo site's layouts and served by its own loopback server under the site's
// *.localhost host names (which reach 127.0.0.1). Registers the site's base
// URL with the site configuration, so the image tests know its image host;
// the test clears the overrides.
class FakeChapterSite
{
public:
    enum class Layout { OneManga, MangaFox, MangaReader, MangaHere };

    struct Options {
        int pages = 3;
        int imagesPerPage = 1;
        bool matureNotice = false;       // the first page carries the mature-content notice
        QSet<int> pagesWithoutLink{};    // MangaFox: these pages' images have no enclosing link
        QMap<int, int> repeatsImageOf{}; // page -> earlier page whose image it shows again
        bool absolutePageValues = false; // MangaReader: selector values are whole URLs
        qint64 imageBytes = 2000;
        bool commentsPage = true; // MangaFox: the selector ends with the comments page
        QByteArray imageData{};   // served for every image instead of imageBytes of filler
    };

    FakeChapterSite(Layout layout, Options options);
    explicit FakeChapterSite(Layout layout) : FakeChapterSite(layout, Options()) {}

    LoopbackServer &server() { return *server_; }

    // What the catalogue hands over: the cover page for OneManga, the first
    // reader page otherwise.
    QString chapterURL() const;
    // Reader page n (1-based) as path on the server and as full URL.
    QString readerPagePath(int page) const;
    QString readerPageURL(int page) const;
    QByteArray readerPage(int page) const;
    QString imageURL(int page, int index = 0) const;
    // What a deduction should hand back, in page order.
    QStringList expectedImageURLs() const;

private:
    QString host() const;
    QString imageHost() const;
    QString pageValue(int page) const;
    QString imagePath(int page, int index) const;
    QString nextLink(int page) const;

    Layout layout_;
    Options options_;
    std::unique_ptr<LoopbackServer> server_;
};
