#include "sites/mangafox/DeducerMangaFox.h"

#include "files/UrlStringJoins.h"

QString DeducerMangaFox::nextPageWithImage(const ImageElement &image, int pageIndex)
{
    if (!image.parentLink.isEmpty())
        return image.parentLink;
    return QStringLiteral("%1.html").arg(pageIndex + 1);
}

bool DeducerMangaFox::isRelativePath(const QString &path)
{
    return !path.startsWith(u"http://") && !path.startsWith(u"https://");
}

bool DeducerMangaFox::go()
{
    if (!parseFirstPage())
        return false;

    const ImageElement first = firstPageImages_->first();
    if (isCancelled())
        return false;
    OptionalError probeError;
    if (!imageHeader_.checkWithURL(urlFromString(first.src), &probeError))
        return failWithError(probeError);
    urlStrings_.append(first.src);

    const QString baseDirectory = urlStringByDeletingLastPathComponent(firstPageURLString_);
    const qsizetype count = pages_->size();
    if (count == 1)
        return true;

    nextPage_ = nextPageWithImage(first, 1);
    if (nextPage_.isEmpty())
        return failWithError(cannotLocateImageError());

    const QString imageDirectory = urlStringByDeletingLastPathComponent(first.src);
    const float step = 1.0f / float(count - 1);
    // The selector's last entry is the chapter's comments page, which has no
    // image: the first page and count - 2 visits cover the chapter.
    for (int i = 1; i < count - 1;) {
        // Each visit's page text and parser are gone before the next visit.
        incrementProgress(step);
        if (isCancelled())
            return false;
        // Relative links are meant against the first page's directory.
        const QString url = isRelativePath(nextPage_)
                                ? urlStringByAppendingPathComponent(baseDirectory, nextPage_)
                                : nextPage_;
        PageText load = loadPage(url, false);
        if (load.requestFailed)
            return failWithError(pageLoadOrTimeoutError());
        if (load.text.isEmpty() || load.error)
            return failWithError(cannotLocateImageError());

        ImageElement pageImage;
        if (!appendImagesOfPage(load.text, imageDirectory, &pageImage))
            return false;
        ++i;
        nextPage_ = nextPageWithImage(pageImage, i);
        if (nextPage_.isEmpty())
            return failWithError(cannotLocateImageError());
    }
    if (!urlStrings_.isEmpty())
        removeDuplicates(urlStrings_);
    return true;
}
