#pragma once

#include <memory>
#include <optional>
#include <stdexcept>

#include <QString>
#include <QStringList>
#include <QUrl>

#include "deduction/ImageElement.h"
#include "deduction/ImageHeader.h"
#include "deduction/ReaderPageReading.h"
#include "foundation/Error.h"
#include "foundation/Operation.h"
#include "web/PageTextFetcher.h"

class DeducerDelegate;
class ProgressSink;

// Raised when a deducer without a site of its own is run: a programming error.
class DeducerNotImplemented : public std::logic_error
{
public:
    DeducerNotImplemented() : std::logic_error("Deducer go not implemented") {}
    static const char *name() { return "Not implemented"; }
};

// Turns the address of a chapter's first reader page into the addresses of
// all its page images, in page order. This base reads the first page (its page
// selector and its manga image); each site's subclass then visits or derives
// the other pages in go().
//
// Thread contract: made and configured on the main thread, then main() and
// every step run on the deduction queue's worker thread; all its network
// access is synchronous there and runs through runCancellable, so cancel()
// may come from any thread and also ends the request in flight. Progress goes to the sink on the main thread
// without waiting. The one report goes to the delegate on the worker thread,
// under a lock shared by all deducers (one for success, one for failure),
// and never after a cancel.
class Deducer : public Operation
{
public:
    // Precomputed inputs are optional: a caller that already holds the first
    // page may pass its page list, its images and its text.
    Deducer(std::optional<QStringList> selectPages, std::optional<ImageElements> firstPageImages,
            const QString &htmlSource, const QString &firstPageURLString, const QString &webPageTitle,
            std::shared_ptr<ProgressSink> progressView, DeducerDelegate *delegate);
    ~Deducer() override;

    static QString errorDomain();
    static Error cancelledError();
    static Error noSelectPagesError();
    static Error imageTooLargeError();
    static Error cannotLocateImageError();
    static Error cannotLocateAllPagesError();
    static Error tooManyPagesError();
    static Error badInitializationError();
    static Error tooManyPagesForCellularError();
    static Error matureContentError();
    static Error pageLoadOrTimeoutError();

    void main() override;

    // The site's own work after the first page; the base has none.
    virtual bool go();

    bool inputIsOk();
    bool parseFirstPage();
    bool fetchFirstPage();
    bool parseSelectPages();
    bool parseFirstPageImages();

    // What parseSelectPages and parseFirstPageImages read on a reader page,
    // read from text alone; pageURLString is the page's own address. Any
    // thread.
    static ReaderPageReading readReaderPage(const QString &text, const QString &pageURLString);

    // Drops later entries whose file name repeats an earlier one's.
    static void removeDuplicates(QStringList &urlStrings);

    // Stores the error and returns false, so a step can end with
    // "return failWithError(...)".
    bool failWithError(OptionalError error);

    void setProgress(float progress);
    void incrementProgress(float amount);

    // The result; emptied when the deduction fails.
    const QStringList &urlStrings() const { return urlStrings_; }
    const QString &firstPageURLString() const { return firstPageURLString_; }
    const std::optional<QStringList> &pages() const { return pages_; }
    const std::optional<ImageElements> &firstPageImages() const { return firstPageImages_; }
    const QString &htmlSource() const { return htmlSource_; }
    const QString &webPageTitle() const { return webPageTitle_; }
    const OptionalError &error() const { return error_; }
    float currentProgress() const { return currentProgress_; }
    bool isMatureContent() const { return isMatureContent_; }
    ImageHeader &imageHeader() { return imageHeader_; }
    DeducerDelegate *delegate() const { return delegate_; }

    // How many leading pages a site deducer probes; set before the start.
    qint32 checkHeaderLimit() const { return checkHeaderLimit_; }
    void setCheckHeaderLimit(qint32 limit) { checkHeaderLimit_ = limit; }

    // Seconds of silence before a request counts as timed out: page requests
    // and image probes, and the plain loads that stand in for the platform's
    // text loader (which waits longer). Tests shorten them; set before start.
    struct TimeOuts {
        double request = 30.0;
        double loader = 60.0;
    };
    void setTimeOuts(TimeOuts timeOuts);
    TimeOuts timeOuts() const { return timeOuts_; }
    static constexpr int kRetriesOnTimeout = 4;

protected:
    // A reader page: GET with the browser "User-Agent", the request time-out
    // and the retries. Without utf8Only an undecodable page is read as ASCII
    // and then loaded again with its encoding detected (on the loader's
    // time-out); the error is then that load's. escape percent-escapes an
    // address that is not escaped yet.
    PageText loadPage(const QString &urlString, bool utf8Only, bool escape = false);
    // A plain load without our headers, decoded as UTF-8 (the loader that a
    // cover page is read with).
    PageText loadUtf8WithPlainLoader(const QString &urlString);
    // Reads the manga images of one visited page, with this deducer as the
    // tokenizer's operation so that a cancel stops the parse, releases the
    // page text, and appends the images' addresses in document order. False
    // when cancelled (no error) or when the page shows no image (code 4);
    // otherwise *first is the page's first image.
    bool appendImagesOfPage(QString &text, const QString &rootPath, ImageElement *first = nullptr);
    static QUrl urlFromString(const QString &urlString);

    QStringList urlStrings_;
    QString firstPageURLString_;
    std::optional<QStringList> pages_;
    std::optional<ImageElements> firstPageImages_;
    QString htmlSource_;
    ImageHeader imageHeader_;
    std::shared_ptr<ProgressSink> progressView_;
    DeducerDelegate *delegate_ = nullptr;
    QString webPageTitle_;
    OptionalError error_;
    float currentProgress_ = 0.0f;
    qint32 checkHeaderLimit_ = 3;
    bool isMatureContent_ = false;
    TimeOuts timeOuts_;
};
