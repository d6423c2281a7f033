#pragma once

#include <utility>

#include <QList>
#include <QString>
#include <QStringList>

// What one reader page of a chapter shows, whatever the site: each layout
// writes it in its own markup (DemoLayoutMangaFox::renderReaderPage and its
// siblings). The demo site fills it from its catalogue; the download tests
// fill it with the odd cases a site may serve (several images on a page, an
// image without its link, a repeated image), so that a site's reader markup
// is written in one place.
struct DemoReaderPage {
    QString bookTitle;
    QString bookURL;
    QString chapterNumber; // as the site prints it: "12", "4.5"
    QString logoURL;       // an image above the page's own; none when empty
    bool matureNotice = false;

    // The chapter selector that real pages put before the page selector.
    QList<std::pair<QString, QString>> chapterMenu; // value, label
    QStringList pageValues;                         // the page selector's values, page 1 first
    int page = 1;                                   // the one shown, 1-based
    bool commentsEntry = false;                     // MangaFox: "Comments" ends the page selector
    QString selectorKey;                            // OneManga: "Book_Title/12" in its selector's script

    QStringList imageURLs;
    QString next; // where the images lead; empty: not linked
};
