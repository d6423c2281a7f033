#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QUrl>

#include "foundation/Error.h"

struct curl_slist;

// One HTTP GET or HEAD over libcurl, run to its end by startSynchronous().
//
// Thread contract: configure the request and call startSynchronous() on one
// thread (never the main thread in the application), then read the results on
// that thread or after handing the request over. cancel() and isCancelled()
// may be called from any thread at any time; a cancel ends a running request
// at once with code 4.
//
// All requests of the process share one cookie store, DNS cache and TLS
// session cache. Live connections stay in a pool of transfer sessions that
// requests borrow in turn, so sequential requests on any thread reuse the
// same keep-alive connection. Only http and https are ever fetched, also
// after a redirect, and a body is refused once it grows past
// maximumResponseSize().
class HttpRequest
{
public:
    // Codes of the "ASIHTTPRequestErrorDomain" errors.
    enum ErrorCode {
        ConnectionFailure = 1,
        RequestTimedOut = 2,
        AuthenticationNeeded = 3,
        RequestCancelled = 4,
        UnableToCreateRequest = 5,
        TooMuchRedirection = 9,
        ResponseTooLarge = 10,
        CompressionError = 11,
    };

    explicit HttpRequest(QUrl url);
    static std::shared_ptr<HttpRequest> requestWithURL(const QUrl &url);
    ~HttpRequest();
    HttpRequest(const HttpRequest &) = delete;
    HttpRequest &operator=(const HttpRequest &) = delete;

    static QString errorDomain();
    static Error makeError(ErrorCode code);

    // The browser identification that the site requests send as "User-Agent".
    static QString browserUserAgent();
    // What requests send when no "User-Agent" header was added.
    static QString defaultUserAgent();

    void addRequestHeader(const QString &name, const QString &value);
    // Seconds without any byte arriving before the attempt counts as timed out.
    void setTimeOutSeconds(double seconds) { timeOutSeconds_ = seconds; }
    double timeOutSeconds() const { return timeOutSeconds_; }
    void setNumberOfTimesToRetryOnTimeout(int retries) { retriesOnTimeout_ = retries; }
    int numberOfTimesToRetryOnTimeout() const { return retriesOnTimeout_; }
    // "GET" (default) or "HEAD".
    void setRequestMethod(const QString &method) { method_ = method; }
    QString requestMethod() const { return method_; }

    // Runs on the caller's thread and returns when the request has ended.
    void startSynchronous();
    void cancel();
    bool isCancelled() const { return cancelled_.load(std::memory_order_acquire); }

    QUrl url() const { return url_; }
    // Points a finished request at another address, so that one request
    // object can serve a series of probes; only between runs.
    void setURL(const QUrl &url) { url_ = url; }
    // Where the last redirect led; equal to url() without redirects.
    QUrl finalURL() const { return finalURL_; }
    const QByteArray &responseData() const { return responseData_; }
    int responseStatusCode() const { return responseStatusCode_; }
    // The length the final response announced (before inflating), -1 if none.
    qint64 contentLength() const { return contentLength_; }
    QByteArray responseHeader(const QByteArray &name) const;
    const OptionalError &error() const { return error_; }
    bool isFinished() const { return finished_.load(std::memory_order_acquire); }
    // Attempts made by the last startSynchronous(): 1 + retries used.
    int attempts() const { return attempts_; }

    // The page fetcher's own fields: which page this is, whether its margins
    // are measured on arrival, and the borders found.
    quint32 number = 0;
    bool doCrop = false;
    float leftBorder = 0.0f;
    float rightBorder = 0.0f;
    // Whether the image holds no colour; unknown when it could not be told.
    std::optional<bool> isGray;
    // The image's size as that one decode on the request's thread found it
    // (0 when the body is no image), so that it is never decoded twice.
    bool imageMeasured = false;
    quint32 imageWidth = 0;
    quint32 imageHeight = 0;

    // Runs on the request's own thread once a body has arrived without error
    // and the request was not cancelled, before startSynchronous() returns
    // (so before any queue reports the request).
    using BodyHook = std::function<void(HttpRequest &)>;
    void setBodyHook(BodyHook hook) { bodyHook_ = std::move(hook); }

    // Process-wide knobs. Tests shorten every time-out at once with
    // setTimeOutOverride (0 turns the override off); the size limit guards
    // memory against endless or hostile bodies.
    static void setTimeOutOverride(double seconds);
    static double timeOutOverride();
    static void setMaximumResponseSize(qint64 bytes);
    static qint64 maximumResponseSize();
    static constexpr qint64 kDefaultMaximumResponseSize = 64ll * 1024 * 1024;

private:
    enum class Outcome { Done, TimedOut, Cancelled, Failed };
    struct Transfer;
    // One attempt on a pooled session: set the handle up, wait for the
    // transfer (or a cancel, or inactivity), read what came back.
    Outcome performOnce(void *session, Transfer &transfer);
    void configureTransfer(void *easy, Transfer &transfer);
    curl_slist *setRequestHeaders(void *easy, const QByteArray &userAgent);
    Outcome waitForTransfer(void *multi, void *easy, Transfer &transfer, int &curlResult);
    Outcome readTransferResult(void *easy, int curlResult, const Transfer &transfer);
    void finishWith(OptionalError error);
    OptionalError inflateBody();

    QUrl url_;
    QUrl finalURL_;
    QString method_ = QStringLiteral("GET");
    std::vector<std::pair<QByteArray, QByteArray>> headers_;
    double timeOutSeconds_ = 10.0;
    int retriesOnTimeout_ = 0;
    BodyHook bodyHook_;

    QByteArray responseData_;
    std::vector<std::pair<QByteArray, QByteArray>> responseHeaders_;
    int responseStatusCode_ = 0;
    qint64 contentLength_ = -1;
    OptionalError error_;
    int attempts_ = 0;

    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
    std::mutex wakeMutex_; // guards activeMulti_ against a cancel from another thread
    void *activeMulti_ = nullptr;
};
