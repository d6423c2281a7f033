#pragma once

#include <QList>
#include <QString>

// One image found on a reader page. The page parsers fill only src and
// parentLink; name and the sizes stay empty because the deducers never look
// at them. A plain value, free to copy between threads.
struct ImageElement {
    QString src;  // the "src" attribute exactly as the page wrote it
    QString name; // null: never filled from a page
    qint32 height = 0;
    qint32 width = 0;
    QString parentLink; // "href" of the enclosing link; null outside any link

    ImageElement() = default;
    ImageElement(QString src, QString name, qint32 height, qint32 width, QString parentLink)
        : src(std::move(src)), name(std::move(name)), height(height), width(width),
          parentLink(std::move(parentLink))
    {}
};

using ImageElements = QList<ImageElement>;
