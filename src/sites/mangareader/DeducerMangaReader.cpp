#include "sites/mangareader/DeducerMangaReader.h"

#include "files/UrlStringJoins.h"
#include "foundation/Regex.h"

QString DeducerMangaReader::rootPath(const QString &urlString)
{
    const QStringList parts = captureComponentsMatchedByRegex(urlString, QStringLiteral("(https?://[^/]+)"));
    return parts.size() == 2 ? parts[1] : QString();
}

bool DeducerMangaReader::go()
{
    return visitEveryPage();
}

bool DeducerMangaReader::visitEveryPage()
{
    if (!parseFirstPage())
        return false;

    for (const ImageElement &image : *firstPageImages_) {
        if (isCancelled())
            return false;
        OptionalError probeError;
        if (!imageHeader_.checkWithURL(urlFromString(image.src), &probeError))
            return failWithError(probeError);
        urlStrings_.append(image.src);
    }

    const QString root = rootPath(firstPageURLString_);
    const qsizetype count = pages_->size();
    const float step = 1.0f / float(count);
    for (qsizetype i = 1; i < count; ++i) {
        // Each visit's page text and parser are gone before the next visit.
        incrementProgress(step);
        if (isCancelled())
            return false;
        const QString url = urlStringByAppendingPathComponent(root, pages_->at(i));
        // These sites serve UTF-8 only: anything else is a broken answer.
        PageText load = loadPage(url, true);
        if (load.error || load.text.isEmpty())
            return failWithError(pageLoadOrTimeoutError());

        if (!appendImagesOfPage(load.text, QString()))
            return false;
    }
    return true;
}
