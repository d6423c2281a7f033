#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "web/HttpRequestQueue.h"
#include "web/HttpRequestQueueDelegate.h"

class Download;
class DownloadManager;
class DownloadsProgressSink;
class HttpRequest;
class Page;

// Fetches the page images of one chapter: one Page record and one empty file
// per image URL, then one request at a time; each ended request stores its
// file and its page's size, borders and error. When the run drains the
// download is marked complete or incomplete, saved into the library when the
// user asked for that, and the next waiting download starts. Also fetches
// again the pages of an incomplete download that are not good.
//
// Thread contract: main thread only. The requests run on the network
// queue's worker, where each image is decoded once and its margins measured
// before the request is reported; the queue reports on the main thread, and
// every store write, file write and notification happens there.
class FetcherQueueWrapper : public HttpRequestQueueDelegate
{
public:
    explicit FetcherQueueWrapper(DownloadManager &manager);
    ~FetcherQueueWrapper() override;
    FetcherQueueWrapper(const FetcherQueueWrapper &) = delete;
    FetcherQueueWrapper &operator=(const FetcherQueueWrapper &) = delete;

    static constexpr double kTimeOutSeconds = 30.0;
    static constexpr int kRetriesOnTimeout = 4;

    // Starts fetching a chapter; false (after an alert) while another
    // chapter's requests are still in the queue.
    bool goWithURLs(const QStringList &urlStrings, const std::shared_ptr<Download> &download,
                    const std::shared_ptr<DownloadsProgressSink> &progress);
    // Fetches again the pages that are not good; false for a download
    // without pages or while another chapter is being fetched.
    bool retryWithDownload(const std::shared_ptr<Download> &download,
                           const std::shared_ptr<DownloadsProgressSink> &progress);
    void cancel();

    bool isDownloading() const;
    bool isCompleteDownload() const;
    bool isCancelled() const { return isCancelled_; }
    // From the start of a run until it has been settled (flags, badge); a
    // cancelled run stops being active at once, as its count went back then.
    bool isRunActive() const { return runActive_; }
    int requestsDownloaded() const { return requestsSucceeded_ + requestsFailed_; }
    int requestsToDownload() const { return int(pages_.size()); }
    const std::vector<std::shared_ptr<Page>> &pages() const { return pages_; }
    const std::shared_ptr<Download> &download() const { return download_; }
    void setDownload(std::shared_ptr<Download> download) { download_ = std::move(download); }
    HttpRequestQueue &networkQueue() { return networkQueue_; }

    // True, after the alert, while the queue still holds requests.
    bool isAlreadyDownloadingAnotherChapter();

    void requestDidFinish(const std::shared_ptr<HttpRequest> &request) override;
    void requestDidFail(const std::shared_ptr<HttpRequest> &request) override;
    void queueDidFinish(HttpRequestQueue &queue) override;

    static QString requestDidFinishNotification();
    static QString requestDidFailNotification();
    static QString requestDidFinishOrFailNotification();
    static QString queueDidFinishNotification();
    static QString queueDidFinishForNavChaptersNotification();

private:
    void requestDidFinishMain(HttpRequest &request);
    void requestDidFailMain(HttpRequest &request);
    void queueDidFinishMain(quint64 run);
    void endRunWithoutRequests();

    void prepareQueueWithDownload(const std::shared_ptr<Download> &download,
                                  const std::shared_ptr<DownloadsProgressSink> &progress);
    void setProgressTypeLabel();
    void setProgressLabel(const QString &text);
    void sortPages();
    std::shared_ptr<HttpRequest> pageRequest(const QString &urlString, quint32 number) const;
    void addPageWithData(const QByteArray &data, const QString &urlString, int number, double width,
                         double height);
    void setPageWithData(const QByteArray &data, const QString &urlString, quint32 number, double width,
                         double height, float leftBorder, float rightBorder, std::optional<bool> isGray,
                         const QString &errorString);
    void processAutoSave(bool complete);

    DownloadManager &manager_;
    HttpRequestQueue networkQueue_;
    std::shared_ptr<Download> download_;
    int requestsSucceeded_ = 0;
    int requestsFailed_ = 0;
    bool isCancelled_ = false;
    bool runActive_ = false;
    quint64 run_ = 0; // counts runs, so a late drain report finds its own
    std::vector<std::shared_ptr<Page>> pages_;
    std::shared_ptr<DownloadsProgressSink> progress_;
};
