#include "sites/onemanga/DeducerOneManga.h"

#include "sites/onemanga/OneMangaPrePageParserDelegate.h"
#include "files/UrlStringJoins.h"
#include "sites/SiteConfig.h"
#include "web/HyperParser.h"
#include "foundation/Regex.h"

QString DeducerOneManga::rootURLString(const QString &urlString)
{
    const QStringList parts =
        captureComponentsMatchedByRegex(urlString, QStringLiteral("^(https?://[^/]+)/"));
    return parts.size() == 2 ? parts[1] : urlString;
}

QString DeducerOneManga::realFirstPageURLStringFromRootURLString(const QString &root,
                                                                 const QString &firstPageURLString,
                                                                 OptionalError *error)
{
    PageText load = loadUtf8WithPlainLoader(firstPageURLString);
    if (load.error) {
        if (error)
            *error = load.error;
        return QString();
    }
    const QString link = coverPageLink(load.text, this);
    if (link.isEmpty()) {
        if (error)
            *error = badInitializationError();
        return QString();
    }
    return urlStringByAppendingPathComponent(root, link);
}

QString DeducerOneManga::coverPageLink(const QString &text, Operation *operation)
{
    OneMangaPrePageParserDelegate coverPage;
    HyperParser parser(text);
    parser.setDelegate(&coverPage);
    parser.setOperationDelegate(operation);
    parser.parse();
    return coverPage.firstPageURLString();
}

bool DeducerOneManga::go()
{
    const QString root = rootURLString(firstPageURLString_);
    QString real = realFirstPageURLStringFromRootURLString(root, firstPageURLString_, nullptr);
    if (real.isEmpty()) {
        if (isCancelled())
            return false;
        // The site's mirror carries the same chapters under the same paths.
        QString mirror = SiteConfig::baseURL(SiteConfig::Site::OneMangaMirror);
        while (mirror.endsWith(u'/'))
            mirror.chop(1);
        QString mirrored = firstPageURLString_;
        mirrored.replace(root, mirror);
        real = realFirstPageURLStringFromRootURLString(mirror, mirrored, nullptr);
        if (real.isEmpty())
            return failWithError(badInitializationError());
    }
    firstPageURLString_ = real;
    if (!parseFirstPage())
        return false;

    const QString firstSrc = firstPageImages_->first().src;
    const QString directory = urlStringByDeletingLastPathComponent(firstSrc);
    const QString fileName = firstSrc.mid(firstSrc.lastIndexOf(u'/') + 1);
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString extension = dot > 0 ? fileName.mid(dot + 1) : QString();

    // A limit of 0 would divide by zero; it means "probe only the last page".
    const float step = checkHeaderLimit_ > 0 ? 1.0f / float(2 * checkHeaderLimit_) : 0.0f;
    const qsizetype count = pages_->size();
    for (qsizetype i = 0; i < count; ++i) {
        if (isCancelled())
            return false;
        const QString url = urlStringByAppendingPathComponent(directory, pages_->at(i)) + u'.' + extension;
        // Probing the first pages and the last catches a chapter whose
        // images are not named after its page values.
        if (i < checkHeaderLimit_ || i >= count - 1) {
            incrementProgress(step);
            OptionalError probeError;
            if (!imageHeader_.checkWithURL(urlFromString(url), &probeError))
                return failWithError(probeError);
        }
        urlStrings_.append(url);
    }
    return true;
}
