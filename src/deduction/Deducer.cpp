#include "deduction/Deducer.h"

#include <algorithm>

#include <QSet>

#include "deduction/DeducerDelegate.h"
#include "deduction/DeducerParams.h"
#include "deduction/ImageParserDelegate.h"
#include "deduction/ProgressSink.h"
#include "deduction/SelectPagesParserDelegate.h"
#include "foundation/ActivitySwitches.h"
#include "foundation/MainThread.h"
#include "web/HyperParser.h"

namespace {

Error deducerError(int code, const QString &message)
{
    return Error{Deducer::errorDomain(), code, message};
}

// Shared by every deducer, so that a report being delivered for one chapter
// holds back the report of another until it is done.
std::mutex &finishLock()
{
    static std::mutex lock;
    return lock;
}

std::mutex &failureLock()
{
    static std::mutex lock;
    return lock;
}

// Feeds a whole page to one parser; operation, when given, stops the parse
// once cancelled.
void parseWith(HyperParserDelegate &delegate, const QString &text, Operation *operation)
{
    HyperParser parser(text);
    parser.setDelegate(&delegate);
    parser.setOperationDelegate(operation);
    parser.parse();
}

} // namespace

Deducer::Deducer(std::optional<QStringList> selectPages, std::optional<ImageElements> firstPageImages,
                 const QString &htmlSource, const QString &firstPageURLString, const QString &webPageTitle,
                 std::shared_ptr<ProgressSink> progressView, DeducerDelegate *delegate)
    : firstPageURLString_(firstPageURLString), pages_(std::move(selectPages)),
      firstPageImages_(std::move(firstPageImages)), htmlSource_(htmlSource), imageHeader_(this),
      progressView_(std::move(progressView)), delegate_(delegate), webPageTitle_(webPageTitle)
{}

Deducer::~Deducer() = default;

QString Deducer::errorDomain()
{
    return QStringLiteral("DeducerErrorDomain");
}

Error Deducer::cancelledError()
{
    return deducerError(1, QStringLiteral("Deducer cancelled"));
}

Error Deducer::noSelectPagesError()
{
    return deducerError(2, QStringLiteral("Cannot deduce the number of pages"));
}

Error Deducer::imageTooLargeError()
{
    return deducerError(3, QStringLiteral("Image size it too large"));
}

Error Deducer::cannotLocateImageError()
{
    return deducerError(4, QStringLiteral("Cannot locate an image"));
}

Error Deducer::cannotLocateAllPagesError()
{
    return deducerError(5, QStringLiteral("Cannote locate all pages"));
}

Error Deducer::tooManyPagesError()
{
    return deducerError(6, QStringLiteral("Too many pages in chapter"));
}

Error Deducer::badInitializationError()
{
    return deducerError(7, QStringLiteral("Bad Initialization"));
}

Error Deducer::tooManyPagesForCellularError()
{
    return deducerError(8, QStringLiteral("Over %1 pages.  Wifi required")
                               .arg(DeducerParams::sharedDeducerParams().deducerMaximumPages));
}

Error Deducer::matureContentError()
{
    return deducerError(9, QStringLiteral("Mature content blocked"));
}

Error Deducer::pageLoadOrTimeoutError()
{
    return deducerError(10, QStringLiteral("Page load error or timed out "));
}

void Deducer::main()
{
    ActivitySwitches::networkActivityOn();
    ActivitySwitches::idleTimerOff();
    setProgress(0.0f);

    const bool ok = inputIsOk() && go();

    ActivitySwitches::networkActivityOff();
    ActivitySwitches::idleTimerOn();
    setProgress(1.0f);

    if (isCancelled())
        return;
    if (ok) {
        reportOnMain(finishLock(), [this] {
            if (delegate_)
                delegate_->deducerFinished(*this);
        });
    } else {
        reportOnMain(failureLock(), [this] {
            // A failure in mid-chapter leaves no partial list behind.
            urlStrings_.clear();
            if (delegate_)
                delegate_->deducerFailed(*this);
        });
    }
}

bool Deducer::go()
{
    throw DeducerNotImplemented();
}

bool Deducer::inputIsOk()
{
    if (firstPageImages_ && firstPageImages_->isEmpty())
        return failWithError(cannotLocateImageError());
    if (!pages_)
        return true;
    if (pages_->isEmpty())
        return failWithError(noSelectPagesError());
    if (quint32(pages_->size()) > DeducerParams::sharedDeducerParams().deducerMaximumPages)
        return failWithError(tooManyPagesError());
    return true;
}

bool Deducer::parseFirstPage()
{
    setProgress(0.05f);
    // Whatever went wrong with the first page, the user learns only that the
    // chapter could not be started.
    if (htmlSource_.isEmpty() && !fetchFirstPage())
        return failWithError(badInitializationError());
    if (isCancelled())
        return false;
    if (!pages_ && !parseSelectPages())
        return failWithError(isMatureContent_ ? matureContentError() : noSelectPagesError());
    if (isCancelled())
        return false;
    if (!firstPageImages_ && !parseFirstPageImages())
        return failWithError(cannotLocateImageError());
    if (quint32(pages_->size()) > DeducerParams::sharedDeducerParams().deducerMaximumPages)
        return failWithError(tooManyPagesError());
    return true;
}

bool Deducer::fetchFirstPage()
{
    htmlSource_ = QString();
    PageText load = loadPage(firstPageURLString_, false, true);
    if (load.requestFailed)
        return failWithError(load.error);
    htmlSource_ = std::move(load.text);
    if (htmlSource_.isEmpty())
        return false;
    if (load.error)
        return failWithError(load.error);
    return true;
}

bool Deducer::parseSelectPages()
{
    if (htmlSource_.isNull())
        return false;
    pages_.reset();
    SelectPagesParserDelegate selectPages;
    parseWith(selectPages, htmlSource_, this);

    bool ok = false;
    if (!selectPages.pages().isEmpty()) {
        pages_ = selectPages.pages();
        ok = true;
    }
    // Blocked even when the notice page also shows a page selector.
    if (selectPages.isMatureContent()) {
        isMatureContent_ = true;
        ok = false;
    }
    return ok;
}

bool Deducer::parseFirstPageImages()
{
    if (htmlSource_.isNull())
        return false;
    firstPageImages_.reset();
    ImageParserDelegate images(firstPageURLString_);
    parseWith(images, htmlSource_, this);
    if (images.images().isEmpty())
        return false;
    firstPageImages_ = images.images();
    return true;
}

ReaderPageReading Deducer::readReaderPage(const QString &text, const QString &pageURLString)
{
    ReaderPageReading reading;
    SelectPagesParserDelegate selectPages;
    parseWith(selectPages, text, nullptr);
    reading.pages = selectPages.pages();
    reading.isMatureContent = selectPages.isMatureContent();
    ImageParserDelegate images(pageURLString);
    parseWith(images, text, nullptr);
    reading.images = images.images();
    return reading;
}

void Deducer::removeDuplicates(QStringList &urlStrings)
{
    // Sites show the last image again on a chapter's closing pages, under
    // the same file name but not always the same directory.
    QSet<QString> seen;
    qsizetype kept = 0;
    for (qsizetype i = 0; i < urlStrings.size(); ++i) {
        QStringView path(urlStrings[i]);
        while (path.endsWith(u'/') && path.size() > 1)
            path.chop(1);
        const QString fileName = path.mid(path.lastIndexOf(u'/') + 1).toString();
        if (seen.contains(fileName))
            continue;
        seen.insert(fileName);
        if (kept != i)
            urlStrings[kept] = urlStrings[i];
        ++kept;
    }
    urlStrings.resize(kept);
}

bool Deducer::failWithError(OptionalError error)
{
    error_ = std::move(error);
    return false;
}

void Deducer::setProgress(float progress)
{
    if (!progressView_)
        return;
    // The first page's share and the per-page steps add up to a little over
    // the whole; a bar never shows more than full.
    currentProgress_ = std::clamp(progress, 0.0f, 1.0f);
    progress = currentProgress_;
    performOnMain([sink = progressView_, progress] { sink->setProgress(progress); });
}

void Deducer::incrementProgress(float amount)
{
    setProgress(currentProgress_ + amount);
}

void Deducer::setTimeOuts(TimeOuts timeOuts)
{
    timeOuts_ = timeOuts;
    imageHeader_.setTimeOutSeconds(timeOuts.request);
}

QUrl Deducer::urlFromString(const QString &urlString)
{
    return QUrl(urlString, QUrl::TolerantMode);
}

PageText Deducer::loadPage(const QString &urlString, bool utf8Only, bool escape)
{
    PageTextFetcher::Policy policy;
    policy.retriesOnTimeout = kRetriesOnTimeout;
    policy.decoding =
        utf8Only ? PageTextFetcher::Decoding::Utf8Only : PageTextFetcher::Decoding::WithFallbacks;
    policy.timeOutSeconds = timeOuts_.request;
    policy.fallbackTimeOutSeconds = timeOuts_.loader;
    policy.escapeAddress = escape;
    return PageTextFetcher::fetch(urlString, policy, this);
}

PageText Deducer::loadUtf8WithPlainLoader(const QString &urlString)
{
    PageTextFetcher::Policy policy;
    policy.decoding = PageTextFetcher::Decoding::Utf8Only;
    policy.browserUserAgent = false;
    policy.timeOutSeconds = timeOuts_.loader;
    return PageTextFetcher::fetch(urlString, policy, this);
}

bool Deducer::appendImagesOfPage(QString &text, const QString &rootPath, ImageElement *first)
{
    ImageParserDelegate images(rootPath);
    parseWith(images, text, this);
    text.clear();
    if (isCancelled())
        return false;
    if (images.images().isEmpty())
        return failWithError(cannotLocateImageError());
    for (const ImageElement &image : images.images()) {
        if (isCancelled())
            return false;
        urlStrings_.append(image.src);
    }
    if (first)
        *first = images.images().first();
    return true;
}
