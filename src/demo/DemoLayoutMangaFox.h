#pragma once

#include "demo/DemoLayout.h"

// The catalogue in MangaFox's layout: a directory of lists under
// /directory/, book pages with the chapter list by volume, reader pages
// whose image links to the next page, and latest releases at the root.
class DemoLayoutMangaFox : public DemoLayout
{
public:
    DemoLayoutMangaFox(const DemoCatalogue &catalogue, int port);

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

private:
    QString chapterDirectory(int book, int chapter) const;
};
