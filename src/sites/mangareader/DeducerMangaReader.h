#pragma once

#include "deduction/Deducer.h"

// MangaReader: the page selector's values are the site paths of the reader
// pages, so every page is visited by its value.
//
// Thread contract: as Deducer.
class DeducerMangaReader : public Deducer
{
public:
    using Deducer::Deducer;

    bool go() override;

    // Scheme and host of the address; null when it has none.
    static QString rootPath(const QString &urlString);

protected:
    // The whole walk: probes the first page's images, then collects the
    // images of every later page. MangaHere pages work the same way.
    bool visitEveryPage();
};
