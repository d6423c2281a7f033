#include "download/FetcherQueueWrapper.h"

#include <algorithm>

#include <QImage>

#include "download/DeducerFetcher.h"
#include "download/DownloadManager.h"
#include "download/DownloadServices.h"
#include "download/DownloadsProgressSink.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"
#include "foundation/MainThread.h"
#include "foundation/NotificationCenter.h"
#include "reader/Cropper.h"
#include "store/AppData.h"
#include "web/HttpRequest.h"

namespace {

// Runs on the request's own thread, before the queue hears of the request:
// the one decode of the image gives its size and its margins.
void measureImage(HttpRequest &request)
{
    if (!request.doCrop || request.isCancelled() || request.error())
        return;
    Cropper cropper(request.responseData());
    request.imageMeasured = true;
    request.imageWidth = cropper.width();
    request.imageHeight = cropper.height();
    request.isGray = cropper.isGray();
    if (cropper.width() > 0 && cropper.height() > 0 && cropper.crop()) {
        request.leftBorder = cropper.leftBorder();
        request.rightBorder = cropper.rightBorder();
    }
}

void post(const QString &name)
{
    NotificationCenter::defaultCenter().post(name);
}

} // namespace

FetcherQueueWrapper::FetcherQueueWrapper(DownloadManager &manager) : manager_(manager) {}

FetcherQueueWrapper::~FetcherQueueWrapper()
{
    networkQueue_.setDelegate(nullptr);
    networkQueue_.setDownloadProgressDelegate(nullptr);
}

QString FetcherQueueWrapper::requestDidFinishNotification()
{
    return QStringLiteral("RequestDidFinishNotification");
}

QString FetcherQueueWrapper::requestDidFailNotification()
{
    return QStringLiteral("RequestDidFailNotification");
}

QString FetcherQueueWrapper::requestDidFinishOrFailNotification()
{
    return QStringLiteral("RequestDidFinishOrFailNotification");
}

QString FetcherQueueWrapper::queueDidFinishNotification()
{
    return QStringLiteral("QueueDidFinishNotification");
}

QString FetcherQueueWrapper::queueDidFinishForNavChaptersNotification()
{
    return QStringLiteral("QueueDidFinishForNavChaptersNotification");
}

bool FetcherQueueWrapper::isDownloading() const
{
    return networkQueue_.requestsCount() > 0;
}

bool FetcherQueueWrapper::isAlreadyDownloadingAnotherChapter()
{
    if (!isDownloading())
        return false;
    if (isCancelled_)
        AlertWithTitleAndMessage(localized("Sorry, only one download at a time"),
                                 localized("The cancelling of the previous download is still in progress"));
    else
        AlertWithTitle(localized("Sorry, only one download at a time"));
    return true;
}

void FetcherQueueWrapper::prepareQueueWithDownload(const std::shared_ptr<Download> &download,
                                                   const std::shared_ptr<DownloadsProgressSink> &progress)
{
    ++run_;
    isCancelled_ = false;
    download_ = download;
    requestsSucceeded_ = 0;
    requestsFailed_ = 0;
    networkQueue_.cancelAllOperations();
    networkQueue_.setDelegate(this);
    networkQueue_.setMaxConcurrentOperationCount(1);
    progress_ = progress;
    if (progress)
        networkQueue_.setDownloadProgressDelegate(progress.get());
}

void FetcherQueueWrapper::setProgressTypeLabel()
{
    if (auto sink = manager_.services().progressSink())
        sink->setProgressTypeLabel(localized("Downloading..."));
}

void FetcherQueueWrapper::setProgressLabel(const QString &text)
{
    if (auto sink = manager_.services().progressSink())
        sink->setProgressLabel(text);
}

std::shared_ptr<HttpRequest> FetcherQueueWrapper::pageRequest(const QString &urlString, quint32 number) const
{
    auto request = HttpRequest::requestWithURL(QUrl(urlString));
    request->setTimeOutSeconds(kTimeOutSeconds);
    request->setNumberOfTimesToRetryOnTimeout(kRetriesOnTimeout);
    request->number = number;
    request->doCrop = true;
    request->setBodyHook(measureImage);
    return request;
}

bool FetcherQueueWrapper::goWithURLs(const QStringList &urlStrings, const std::shared_ptr<Download> &download,
                                     const std::shared_ptr<DownloadsProgressSink> &progress)
{
    if (isAlreadyDownloadingAnotherChapter())
        return false;
    prepareQueueWithDownload(download, progress);
    setProgressTypeLabel();

    // Every page has its record and an empty file before the first request
    // goes out, so a reader opening the download finds every page.
    std::vector<std::shared_ptr<HttpRequest>> requests;
    for (qsizetype i = 0; i < urlStrings.size(); ++i) {
        addPageWithData(QByteArray(), urlStrings[i], int(i), 0, 0);
        auto request = pageRequest(urlStrings[i], quint32(i));
        request->addRequestHeader(QStringLiteral("User-Agent"), HttpRequest::browserUserAgent());
        requests.push_back(std::move(request));
    }
    sortPages();
    // Saved before any request can end: a page's report must find its record.
    manager_.services().appData().save();
    for (auto &request : requests)
        networkQueue_.addOperation(std::move(request));

    manager_.services().setIdleTimerDisabled(true);
    runActive_ = true;
    networkQueue_.go();
    if (requests.empty())
        endRunWithoutRequests();
    return true;
}

void FetcherQueueWrapper::addPageWithData(const QByteArray &data, const QString &urlString, int number,
                                          double width, double height)
{
    AppData &appData = manager_.services().appData();
    auto page = appData.createPageWithUrlString(urlString, number, width, height);
    if (!page || !download_)
        return;
    download_->addPagesObject(*page);
    appData.writeData(data, *page);
}

void FetcherQueueWrapper::sortPages()
{
    pages_ = download_ ? download_->pages() : std::vector<std::shared_ptr<Page>>();
    std::stable_sort(pages_.begin(), pages_.end(),
                     [](const auto &a, const auto &b) { return a->number() < b->number(); });
}

bool FetcherQueueWrapper::retryWithDownload(const std::shared_ptr<Download> &download,
                                            const std::shared_ptr<DownloadsProgressSink> &progress)
{
    if (!download || download->pages().empty())
        return false;
    if (isAlreadyDownloadingAnotherChapter())
        return false;
    prepareQueueWithDownload(download, progress);
    setProgressTypeLabel();
    sortPages();

    std::vector<std::shared_ptr<HttpRequest>> requests;
    for (const auto &page : pages_) {
        if (AppData::didDownloadImage(*page))
            continue;
        page->setIsDownloaded(false);
        page->setErrorString(QString());
        // No "User-Agent" of our own: the request component's default goes.
        requests.push_back(pageRequest(page->url(), quint32(page->number())));
    }
    // The good pages count as done in the "%d/%d" progress.
    requestsSucceeded_ = int(pages_.size()) - int(requests.size());

    manager_.services().appData().save();
    for (auto &request : requests)
        networkQueue_.addOperation(std::move(request));
    runActive_ = true;
    networkQueue_.go();
    manager_.services().setIdleTimerDisabled(true);
    if (requests.empty())
        endRunWithoutRequests();
    return true;
}

void FetcherQueueWrapper::cancel()
{
    isCancelled_ = true;
    runActive_ = false;
    manager_.services().decrementDownloadsBadgeNumber();
    networkQueue_.cancelAllOperations();
}

void FetcherQueueWrapper::requestDidFinish(const std::shared_ptr<HttpRequest> &request)
{
    if (request->isCancelled())
        return;
    requestDidFinishMain(*request);
}

void FetcherQueueWrapper::requestDidFail(const std::shared_ptr<HttpRequest> &request)
{
    if (request->isCancelled())
        return;
    requestDidFailMain(*request);
}

void FetcherQueueWrapper::queueDidFinish(HttpRequestQueue &)
{
    performOnMain([this, run = run_] { queueDidFinishMain(run); });
}

void FetcherQueueWrapper::endRunWithoutRequests()
{
    // A queue that was given nothing never drains, so the run ends here.
    performOnMain([this, run = run_] { queueDidFinishMain(run); });
}

void FetcherQueueWrapper::requestDidFinishMain(HttpRequest &request)
{
    ++requestsSucceeded_;
    if (isCancelled_)
        return;
    const QByteArray &body = request.responseData();
    const QString urlString = request.url().toString();
    if (!body.isEmpty()) {
        quint32 width = request.imageWidth;
        quint32 height = request.imageHeight;
        if (!request.imageMeasured) {
            const QImage image = QImage::fromData(body);
            width = quint32(image.width());
            height = quint32(image.height());
        }
        if (width > 0 && height > 0)
            setPageWithData(body, urlString, request.number, width, height, request.leftBorder,
                            request.rightBorder, request.isGray, QString());
        else
            setPageWithData(body, urlString, request.number, 0, 0, 0, 0, std::nullopt, QString());
    } else {
        setPageWithData(QByteArray(), urlString, request.number, 0, 0, 0, 0, std::nullopt,
                        localized("No data"));
    }
    post(requestDidFinishOrFailNotification());
    post(requestDidFinishNotification());
}

void FetcherQueueWrapper::requestDidFailMain(HttpRequest &request)
{
    ++requestsFailed_;
    if (!isCancelled_) {
        const QString text = request.error() ? request.error()->localizedDescription() : QString();
        setPageWithData(QByteArray(), request.url().toString(), request.number, 0, 0, 0, 0, std::nullopt,
                        text);
    }
    post(requestDidFailNotification());
    post(requestDidFinishOrFailNotification());
}

void FetcherQueueWrapper::setPageWithData(const QByteArray &data, const QString &urlString, quint32 number,
                                          double width, double height, float leftBorder, float rightBorder,
                                          std::optional<bool> isGray, const QString &errorString)
{
    if (!download_ || number >= pages_.size())
        return;
    const auto &page = pages_[number];
    AppData &appData = manager_.services().appData();
    // The file goes first: a record must never say good beside a file that
    // never arrived, whenever the program is stopped.
    std::optional<Error> writeError;
    page->setIsDownloaded(true);
    page->setUrl(urlString);
    if (appData.writeData(data, *page, &writeError)) {
        page->setWidth(width);
        page->setHeight(height);
        page->setLeftBorder(leftBorder);
        page->setRightBorder(rightBorder);
        page->setIsGray(isGray);
        if (!errorString.isNull())
            page->setErrorString(errorString);
    } else {
        // Its request ended, but nothing usable is on disk: a failed page,
        // so the download ends Incomplete and a retry fetches it again.
        page->setWidth(0);
        page->setHeight(0);
        page->setLeftBorder(0);
        page->setRightBorder(0);
        page->setIsGray(std::nullopt);
        page->setErrorString(writeError ? writeError->localizedDescription()
                                        : localized("Could not write page"));
    }
    appData.save();
}

bool FetcherQueueWrapper::isCompleteDownload() const
{
    return std::all_of(pages_.begin(), pages_.end(),
                       [](const auto &page) { return AppData::didDownloadImage(*page); });
}

void FetcherQueueWrapper::queueDidFinishMain(quint64 run)
{
    // A later run has begun since this one drained; its own end will come.
    if (run != run_)
        return;
    DownloadServices &services = manager_.services();
    services.setIdleTimerDisabled(false);
    if (isCancelled_) {
        // Whoever cancelled gave the badge count back and advances the queue.
        post(queueDidFinishNotification());
        setProgressLabel(QString());
        manager_.deducerFetcher().fetcherDidDrainCancelledRun();
        return;
    }
    runActive_ = false;
    const bool complete = isCompleteDownload();
    if (download_) {
        download_->setIsDownloading(false);
        download_->setIsComplete(complete);
        services.appData().save();
    }
    services.decrementDownloadsBadgeNumber();
    processAutoSave(complete);
    post(queueDidFinishNotification());
    setProgressLabel(QString());
    manager_.deducerFetcher().downloadNextInWaitQueue();
}

void FetcherQueueWrapper::processAutoSave(bool complete)
{
    DownloadServices &services = manager_.services();
    if (!download_ || !complete || !services.autoSaveToLibrary())
        return;
    // A download the user began to read while it arrived stays in the list.
    if (download_->lastPageRead() >= 0)
        return;
    post(queueDidFinishForNavChaptersNotification());
    services.saveDownloadToLibrary(download_);
    download_.reset();
    pages_.clear();
    services.appData().save();
}
