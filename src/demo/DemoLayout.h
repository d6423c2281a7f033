#pragma once

#include <functional>
#include <map>
#include <vector>

#include <QByteArray>
#include <QString>

#include "demo/DemoCatalogue.h"
#include "demo/DemoReaderPage.h"

class NavSections;

// One image the demo serves: a chapter's page, or a book's cover when
// chapter is -1.
struct DemoImageRef {
    int book = 0;
    int chapter = -1;
    int page = 0;
    bool png = false;
};

// What one layout serves, by path: pages on the site's host, images on its
// image host. Paths are kept with runs of "/" collapsed to one.
struct DemoRoutes {
    std::map<QString, std::function<QByteArray()>> pages;
    std::map<QString, DemoImageRef> images;
};

// The demo catalogue written in one site's page layout, so that the
// project's own parsers and deducers for that site read it. Each layout has
// a host of its own ("www.mangafox.localhost") and one for its images, both
// reaching 127.0.0.1 on the same port.
// Thread contract: built once before serving; const afterwards, so the
// server's threads may render pages concurrently.
class DemoLayout
{
public:
    DemoLayout(const DemoCatalogue &catalogue, QString name, QString host, QString imageHost, int port);
    virtual ~DemoLayout() = default;
    DemoLayout(const DemoLayout &) = delete;
    DemoLayout &operator=(const DemoLayout &) = delete;

    // The site's "--site" option name.
    const QString &name() const { return name_; }
    const QString &host() const { return host_; }
    const QString &imageHost() const { return imageHost_; }
    // "http://www.mangafox.localhost:PORT/"
    QString baseURL() const;

    DemoRoutes routes() const;
    // The list page of a site search; null when the site has no search.
    virtual QByteArray searchPage(const QString &text) const;

    // The address a chapter list hands to a download (the first reader
    // page, or the chapter's cover page where the site has one); empty when
    // the site does not show that chapter.
    virtual QString chapterURL(int book, int chapter) const = 0;
    QString bookURL(int book) const;
    QString latestURL() const;

    static QString normalizedPath(const QString &path);

protected:
    enum class ListKind { Alphabetical, Popular, Search };

    virtual QString bookPath(int book) const = 0;
    virtual QByteArray bookPage(int book) const = 0;
    virtual QString readerPath(int book, int chapter, int page) const = 0;
    virtual QByteArray readerPage(int book, int chapter, int page) const = 0;
    virtual QString imagePath(int book, int chapter, int page) const = 0;
    virtual QString coverPath(int book) const = 0;
    virtual QByteArray listPage(const std::vector<int> &books, ListKind kind) const = 0;
    virtual QString latestPath() const = 0;
    virtual QByteArray latestPage() const = 0;
    // Lists, and any page of the site's own (a chapter's cover page).
    virtual void addSiteRoutes(DemoRoutes &routes) const = 0;
    // Whether the site shows this chapter (some sites cannot address half chapters).
    virtual bool showsChapter(int book, int chapter) const;
    virtual bool usesPNG(int book, int chapter) const;

    // A list route for every row of a section table: "All" by title,
    // "Popular" by rank, "Popular Genre" by rank within the genre.
    void addSectionRoutes(DemoRoutes &routes, const NavSections &sections, const QString &directory,
                          const QString &suffix = QString()) const;

    QString url(const QString &path) const;
    QString imageURL(const QString &path) const;
    // Visible chapters of a book, newest first.
    std::vector<int> chaptersNewestFirst(int book) const;
    // "v01" / "c004.5" parts of MangaFox-like chapter addresses.
    static QString volumePart(const DemoChapter &chapter);
    static QString chapterPart(const DemoChapter &chapter);

    static QString escaped(const QString &text);
    static QByteArray document(const QString &title, const QString &body);
    static QString matureNotice();

    // A reader page's parts that the catalogue decides; the layout adds its
    // page selector's values and where the images lead.
    DemoReaderPage readerPageParts(int book, int chapter, int page) const;
    // The pieces every site's reader markup shares.
    static QString readerPageTitle(const DemoReaderPage &page);
    static QString readerPageTop(const DemoReaderPage &page); // logo, then the mature notice
    static QString chapterMenu(const DemoReaderPage &page);
    static QString pageOptions(const DemoReaderPage &page);
    // The page's images, each inside a link to page.next when there is one.
    static QString readerImages(const DemoReaderPage &page,
                                const std::function<QString(const QString &)> &imageTag,
                                const QString &linkAttributes = QString());
    static QString readerPageFooter();

    const DemoCatalogue &catalogue_;

private:
    QString name_;
    QString host_;
    QString imageHost_;
    int port_;
};
