#pragma once

#include "demo/DemoLayout.h"

// The catalogue in OneManga's layout: a directory table with ranks, book
// pages with series info and an optional licence note, a cover page per
// chapter leading to its first reader page, and latest releases at the root.
class DemoLayoutOneManga : public DemoLayout
{
public:
    DemoLayoutOneManga(const DemoCatalogue &catalogue, int port);

    QString chapterURL(int book, int chapter) const override;

    // A reader page in this site's markup.
    static QByteArray renderReaderPage(const DemoReaderPage &page);
    // The chapter's cover page, which leads to its first reader page.
    static QByteArray renderCoverPage(const QString &bookTitle, const QString &bookURL,
                                      const QString &chapterNumber, const QString &firstPageURL);

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
