#pragma once

#include "demo/DemoLayout.h"

// The catalogue in MangaHere's layout: lists under their genre words, book
// pages with details and a chapter list, reader pages whose selectors hold
// whole page addresses, and latest releases at /latest/.
class DemoLayoutMangaHere : public DemoLayout
{
public:
    DemoLayoutMangaHere(const DemoCatalogue &catalogue, int port);

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
