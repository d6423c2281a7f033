#pragma once

#include "deduction/Deducer.h"

// MangaFox: each reader page shows one image, normally wrapped in a link to
// the next reader page; the deducer walks those links.
//
// Thread contract: as Deducer.
class DeducerMangaFox : public Deducer
{
public:
    using Deducer::Deducer;

    bool go() override;

    const QString &nextPage() const { return nextPage_; }
    void setNextPage(const QString &nextPage) { nextPage_ = nextPage; }

    // The image's link, or "N.html" for the page after pageIndex when the
    // image has none (the reader pages are numbered from 1).
    static QString nextPageWithImage(const ImageElement &image, int pageIndex);
    static bool isRelativePath(const QString &path);

private:
    QString nextPage_;
};
