#pragma once

#include "demo/DemoLayout.h"

// The catalogue in MangaReader's layout: an alphabetical index and popular
// lists, book pages with a chapter table, one reader page per image whose
// page selector holds the pages' paths, and latest releases at /latest.
// The site's addresses have no room for half chapters, so it shows none.
class DemoLayoutMangaReader : public DemoLayout
{
public:
    DemoLayoutMangaReader(const DemoCatalogue &catalogue, int port);

    QString chapterURL(int book, int chapter) const override;

    // A reader page in this site's markup.
    static QByteArray renderReaderPage(const DemoReaderPage &page);

protected:
    QString bookPath(int book) const override;
    QByteArray bookPage(int book) const override;
    QString readerPath(int book, int chapter, int page) const override;
    QByteArray readerPage(int book, int chapter, int page) const override;
    QString imagePath(int book, int chapter, int page) const override;
    QString coverPath(int book) const override;
    QByteArray listPage(const std::vector<int> &books, ListKind kind) const override;
    QString latestPath() const override;
    QByteArray latestPage() const override;
    void addSiteRoutes(DemoRoutes &routes) const override;
    bool showsChapter(int book, int chapter) const override;
    bool usesPNG(int book, int chapter) const override;

private:
    QString chapterPath(int book, int chapter) const;
};
