#include "web/HttpRequest.h"

#include <algorithm>
#include <array>
#include <chrono>

#include <curl/curl.h>
#include <zlib.h>

#include <QCoreApplication>
#include <QLocale>
#include <QSysInfo>

#include "foundation/Localized.h"

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<double> gTimeOutOverride{0.0};
std::atomic<qint64> gMaximumResponseSize{HttpRequest::kDefaultMaximumResponseSize};

// Cookies, DNS answers and TLS sessions live in one share handle. Live
// connections do not: libcurl cannot safely share a connection cache between
// threads that transfer at the same time, so connections stay with the
// sessions of SessionPool instead.
class CurlShare
{
public:
    static CurlShare &instance()
    {
        // Never torn down: worker threads may still transfer while the
        // process exits, and the OS reclaims everything anyway.
        static CurlShare *share = new CurlShare;
        return *share;
    }
    CURLSH *handle() const { return share_; }

private:
    CurlShare()
    {
        curl_global_init(CURL_GLOBAL_ALL);
        share_ = curl_share_init();
        curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CurlShare::lock);
        curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CurlShare::unlock);
        curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    }
    static void lock(CURL *, curl_lock_data data, curl_lock_access, void *self)
    {
        static_cast<CurlShare *>(self)->mutexes_[slot(data)].lock();
    }
    static void unlock(CURL *, curl_lock_data data, void *self)
    {
        static_cast<CurlShare *>(self)->mutexes_[slot(data)].unlock();
    }
    static size_t slot(curl_lock_data data) { return std::min<size_t>(size_t(data), CURL_LOCK_DATA_LAST); }

    CURLSH *share_ = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST + 1> mutexes_;
};

// A multi handle with its easy handle. The multi handle keeps the live
// connections, so borrowing the most recently returned session hands the
// next request a warm keep-alive connection, whatever thread it runs on.
struct Session {
    CURLM *multi = curl_multi_init();
    CURL *easy = curl_easy_init();

    Session() { curl_multi_setopt(multi, CURLMOPT_MAXCONNECTS, 8L); }
    ~Session()
    {
        curl_easy_cleanup(easy);
        curl_multi_cleanup(multi);
    }
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;
};

class SessionPool
{
public:
    static SessionPool &instance()
    {
        static SessionPool *pool = new SessionPool; // see CurlShare::instance
        return *pool;
    }
    std::unique_ptr<Session> checkout()
    {
        std::lock_guard lock(mutex_);
        if (idle_.empty())
            return std::make_unique<Session>();
        std::unique_ptr<Session> s = std::move(idle_.back());
        idle_.pop_back();
        return s;
    }
    void checkin(std::unique_ptr<Session> s)
    {
        std::lock_guard lock(mutex_);
        if (idle_.size() < kMaxIdle)
            idle_.push_back(std::move(s));
    }

private:
    static constexpr size_t kMaxIdle = 8;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Session>> idle_;
};

QByteArray trimmed(const char *data, size_t size)
{
    return QByteArray(data, qsizetype(size)).trimmed();
}

bool isFetchableScheme(const QString &scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace

struct HttpRequest::Transfer {
    HttpRequest *request = nullptr;
    Clock::time_point lastActivity;
    bool tooLarge = false;
    bool reserveBody = false;
};

HttpRequest::HttpRequest(QUrl url) : url_(std::move(url)), finalURL_(url_) {}

std::shared_ptr<HttpRequest> HttpRequest::requestWithURL(const QUrl &url)
{
    return std::make_shared<HttpRequest>(url);
}

HttpRequest::~HttpRequest() = default;

QString HttpRequest::errorDomain()
{
    return QStringLiteral("ASIHTTPRequestErrorDomain");
}

Error HttpRequest::makeError(ErrorCode code)
{
    QString text;
    switch (code) {
    case ConnectionFailure:
        text = QStringLiteral("A connection failure occurred");
        break;
    case RequestTimedOut:
        text = QStringLiteral("The request timed out");
        break;
    case AuthenticationNeeded:
        text = QStringLiteral("Authentication needed");
        break;
    case RequestCancelled:
        text = QStringLiteral("The request was cancelled");
        break;
    case UnableToCreateRequest:
        text = QStringLiteral("Unable to create request (bad url?)");
        break;
    case TooMuchRedirection:
        text = QStringLiteral("The request failed because it redirected too many times");
        break;
    case ResponseTooLarge:
        text = QStringLiteral("The response was too large");
        break;
    case CompressionError:
        text = QStringLiteral("The response could not be decompressed");
        break;
    }
    return Error{errorDomain(), int(code), localized(text)};
}

QString HttpRequest::browserUserAgent()
{
    return QStringLiteral(
        "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_6_8) AppleWebKit/536.5 (KHTML, like Gecko) "
        "Chrome/19.0.1084.53 Safari/536.5");
}

QString HttpRequest::defaultUserAgent()
{
    QString name = QCoreApplication::applicationName();
    if (name.isEmpty())
        name = QStringLiteral("Yomora");
    QString version = QCoreApplication::applicationVersion();
    if (version.isEmpty())
        version = QStringLiteral("1.0");
    return QStringLiteral("%1 %2 (%3; %4 %5; %6)")
        .arg(name, version, QSysInfo::currentCpuArchitecture(), QSysInfo::kernelType(),
             QSysInfo::kernelVersion(), QLocale::system().name());
}

void HttpRequest::setTimeOutOverride(double seconds)
{
    gTimeOutOverride.store(seconds);
}

double HttpRequest::timeOutOverride()
{
    return gTimeOutOverride.load();
}

void HttpRequest::setMaximumResponseSize(qint64 bytes)
{
    gMaximumResponseSize.store(bytes);
}

qint64 HttpRequest::maximumResponseSize()
{
    return gMaximumResponseSize.load();
}

void HttpRequest::addRequestHeader(const QString &name, const QString &value)
{
    // Line breaks would let a value smuggle in headers (or a whole request).
    auto oneLine = [](QByteArray text) {
        text.replace('\r', ' ');
        text.replace('\n', ' ');
        return text;
    };
    const QByteArray key = oneLine(name.toLatin1()).replace(':', "").trimmed();
    const QByteArray line = oneLine(value.toUtf8());
    if (key.isEmpty())
        return;
    for (auto &h : headers_) {
        if (h.first.compare(key, Qt::CaseInsensitive) == 0) {
            h.second = line;
            return;
        }
    }
    headers_.emplace_back(key, line);
}

QByteArray HttpRequest::responseHeader(const QByteArray &name) const
{
    for (const auto &h : responseHeaders_) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    }
    return {};
}

void HttpRequest::cancel()
{
    cancelled_.store(true, std::memory_order_release);
    std::lock_guard lock(wakeMutex_);
    if (activeMulti_)
        curl_multi_wakeup(static_cast<CURLM *>(activeMulti_));
}

void HttpRequest::finishWith(OptionalError error)
{
    error_ = std::move(error);
    finished_.store(true, std::memory_order_release);
}

void HttpRequest::startSynchronous()
{
    finished_.store(false);
    error_.reset();
    responseData_.clear();
    responseHeaders_.clear();
    responseStatusCode_ = 0;
    contentLength_ = -1;
    finalURL_ = url_;
    attempts_ = 0;

    if (isCancelled()) {
        finishWith(makeError(RequestCancelled));
        return;
    }
    if (!url_.isValid() || url_.host().isEmpty() || !isFetchableScheme(url_.scheme().toLower())) {
        finishWith(makeError(UnableToCreateRequest));
        return;
    }

    CurlShare::instance();
    std::unique_ptr<Session> session = SessionPool::instance().checkout();
    Transfer transfer;
    transfer.request = this;
    Outcome outcome = Outcome::Failed;
    OptionalError failure;
    for (int attempt = 0; attempt <= std::max(0, retriesOnTimeout_); ++attempt) {
        ++attempts_;
        transfer.tooLarge = false;
        outcome = performOnce(session.get(), transfer);
        if (outcome != Outcome::TimedOut)
            break;
    }
    SessionPool::instance().checkin(std::move(session));

    switch (outcome) {
    case Outcome::Cancelled:
        failure = makeError(RequestCancelled);
        break;
    case Outcome::TimedOut:
        failure = makeError(RequestTimedOut);
        break;
    case Outcome::Failed:
        failure = error_;
        break;
    case Outcome::Done:
        if ((failure = inflateBody()))
            break;
        if (responseStatusCode_ == 401 || responseStatusCode_ == 407)
            failure = makeError(AuthenticationNeeded);
        break;
    }
    if (failure) {
        finishWith(failure);
        return;
    }
    if (bodyHook_ && !isCancelled())
        bodyHook_(*this);
    // A cancel that lands after the body arrived still wins: callers treat
    // every cancelled request alike.
    finishWith(isCancelled() ? OptionalError(makeError(RequestCancelled)) : std::nullopt);
}

HttpRequest::Outcome HttpRequest::performOnce(void *sessionPtr, Transfer &transfer)
{
    auto *session = static_cast<Session *>(sessionPtr);
    CURL *easy = session->easy;

    responseData_.clear();
    responseHeaders_.clear();
    responseStatusCode_ = 0;
    contentLength_ = -1;
    error_.reset();

    curl_easy_reset(easy);
    const QByteArray encodedUrl = url_.toEncoded();
    const QByteArray userAgent = defaultUserAgent().toUtf8();
    curl_easy_setopt(easy, CURLOPT_URL, encodedUrl.constData());
    configureTransfer(easy, transfer);
    struct curl_slist *headerList = setRequestHeaders(easy, userAgent);

    int result = CURLE_OK;
    Outcome outcome = waitForTransfer(session->multi, easy, transfer, result);
    if (outcome == Outcome::Done)
        outcome = readTransferResult(easy, result, transfer);

    curl_multi_remove_handle(session->multi, easy);
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, nullptr); // the share keeps the cookies
    curl_slist_free_all(headerList);
    return outcome;
}

void HttpRequest::configureTransfer(void *easyHandle, Transfer &transfer)
{
    CURL *easy = easyHandle;
    curl_easy_setopt(easy, CURLOPT_SHARE, CurlShare::instance().handle());
    // An empty cookie file turns the cookie engine on over the share's jar,
    // nothing read from disk. The file list it adds is cleared after the
    // transfer: curl_easy_reset would drop it without freeing it.
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_MAXAGE_CONN, 60L);
    curl_easy_setopt(easy, CURLOPT_TCP_NODELAY, 1L);
    transfer.reserveBody = method_.compare(QLatin1String("HEAD"), Qt::CaseInsensitive) != 0;
    if (transfer.reserveBody)
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    else
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);

    using WriteFn = size_t (*)(char *, size_t, size_t, void *);
    WriteFn write = [](char *data, size_t size, size_t count, void *user) -> size_t {
        auto *t = static_cast<Transfer *>(user);
        const size_t n = size * count;
        t->lastActivity = Clock::now();
        if (t->request->responseData_.size() + qint64(n) > maximumResponseSize()) {
            t->tooLarge = true;
            return 0;
        }
        t->request->responseData_.append(data, qsizetype(n));
        return n;
    };
    WriteFn header = [](char *data, size_t size, size_t count, void *user) -> size_t {
        auto *t = static_cast<Transfer *>(user);
        const size_t n = size * count;
        t->lastActivity = Clock::now();
        const QByteArray line = trimmed(data, n);
        auto &headers = t->request->responseHeaders_;
        if (line.startsWith("HTTP/")) {
            headers.clear(); // a new response (after a redirect or a 100) starts
        } else if (const qsizetype colon = line.indexOf(':'); colon > 0) {
            headers.emplace_back(line.left(colon).trimmed(), line.mid(colon + 1).trimmed());
            // Sizing the body once saves copying it over and over as it grows.
            if (t->reserveBody && headers.back().first.compare("Content-Length", Qt::CaseInsensitive) == 0) {
                const qint64 length = headers.back().second.toLongLong();
                if (length > 0 && length <= maximumResponseSize())
                    t->request->responseData_.reserve(qsizetype(length));
            }
        }
        return n;
    };
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, write);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, header);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
}

curl_slist *HttpRequest::setRequestHeaders(void *easyHandle, const QByteArray &userAgent)
{
    CURL *easy = easyHandle;
    // Inflating ourselves rather than through libcurl lets a truncated or
    // corrupt compressed body fail loudly and bounds the inflated size.
    struct curl_slist *headerList = nullptr;
    bool hasUserAgent = false;
    bool hasAcceptEncoding = false;
    for (const auto &h : headers_) {
        if (h.first.compare("User-Agent", Qt::CaseInsensitive) == 0)
            hasUserAgent = true;
        if (h.first.compare("Accept-Encoding", Qt::CaseInsensitive) == 0)
            hasAcceptEncoding = true;
        const QByteArray line = h.first + ": " + h.second;
        headerList = curl_slist_append(headerList, line.constData());
    }
    if (!hasAcceptEncoding)
        headerList = curl_slist_append(headerList, "Accept-Encoding: gzip, deflate");
    if (!hasUserAgent)
        curl_easy_setopt(easy, CURLOPT_USERAGENT, userAgent.constData());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headerList);
    return headerList;
}

HttpRequest::Outcome HttpRequest::waitForTransfer(void *multiHandle, void *easyHandle, Transfer &transfer,
                                                  int &result)
{
    CURLM *multi = multiHandle;
    CURL *easy = easyHandle;
    double timeOut = timeOutOverride() > 0 ? timeOutOverride() : timeOutSeconds_;
    if (timeOut <= 0)
        timeOut = 10.0;
    const auto inactivityLimit =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(timeOut));

    transfer.lastActivity = Clock::now();
    curl_multi_add_handle(multi, easy);
    {
        std::lock_guard lock(wakeMutex_);
        activeMulti_ = multi;
    }

    Outcome outcome = Outcome::Failed;
    for (;;) {
        int running = 0;
        curl_multi_perform(multi, &running);
        bool done = false;
        int queued = 0;
        while (CURLMsg *msg = curl_multi_info_read(multi, &queued)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy) {
                result = msg->data.result;
                done = true;
            }
        }
        if (done) {
            outcome = Outcome::Done;
            break;
        }
        if (isCancelled()) {
            outcome = Outcome::Cancelled;
            break;
        }
        // The time-out counts from the last byte, not from the start, so a
        // large image on a slow line is not cut off while it still arrives.
        const auto idle = Clock::now() - transfer.lastActivity;
        if (idle >= inactivityLimit) {
            outcome = Outcome::TimedOut;
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(inactivityLimit - idle);
        const int waitMs = int(std::clamp<qint64>(left.count() + 1, 1, 200));
        curl_multi_poll(multi, nullptr, 0, waitMs, nullptr);
    }

    std::lock_guard lock(wakeMutex_);
    activeMulti_ = nullptr;
    return outcome;
}

HttpRequest::Outcome HttpRequest::readTransferResult(void *easyHandle, int curlResult,
                                                     const Transfer &transfer)
{
    const auto result = CURLcode(curlResult);
    CURL *easy = easyHandle;
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    responseStatusCode_ = int(status);
    curl_off_t length = -1;
    curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    contentLength_ = length;
    char *effective = nullptr;
    curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective);
    if (effective)
        finalURL_ = QUrl::fromEncoded(QByteArray(effective));

    if (result == CURLE_OK)
        return Outcome::Done;
    if (transfer.tooLarge)
        error_ = makeError(ResponseTooLarge);
    else if (result == CURLE_TOO_MANY_REDIRECTS)
        error_ = makeError(TooMuchRedirection);
    else if (result == CURLE_UNSUPPORTED_PROTOCOL || result == CURLE_URL_MALFORMAT)
        error_ = makeError(UnableToCreateRequest);
    else if (result == CURLE_OPERATION_TIMEDOUT)
        return Outcome::TimedOut;
    else
        error_ = makeError(ConnectionFailure);
    return Outcome::Failed;
}

OptionalError HttpRequest::inflateBody()
{
    const QByteArray encoding = responseHeader("Content-Encoding").toLower();
    if (responseData_.isEmpty() || encoding.isEmpty() || encoding == "identity")
        return std::nullopt;
    const bool gzip = encoding.contains("gzip");
    const bool deflate = encoding.contains("deflate");
    if (!gzip && !deflate)
        return std::nullopt; // not ours to undo; the caller gets the bytes as sent

    // gzip and zlib streams are told apart by their headers (window bits + 32);
    // some servers send bare deflate data for "deflate", so that is tried too.
    bool tooLarge = false;
    auto inflateWith = [this, &tooLarge](int windowBits, QByteArray &out) -> bool {
        z_stream z{};
        if (inflateInit2(&z, windowBits) != Z_OK)
            return false;
        z.next_in = reinterpret_cast<Bytef *>(responseData_.data());
        z.avail_in = uInt(responseData_.size());
        std::array<char, 64 * 1024> chunk;
        int rc = Z_OK;
        bool ok = true;
        while (ok) {
            z.next_out = reinterpret_cast<Bytef *>(chunk.data());
            z.avail_out = uInt(chunk.size());
            rc = inflate(&z, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END) {
                ok = false;
                break;
            }
            out.append(chunk.data(), qsizetype(chunk.size() - z.avail_out));
            if (out.size() > maximumResponseSize()) {
                tooLarge = true;
                ok = false;
                break;
            }
            if (rc == Z_STREAM_END) {
                if (z.avail_in == 0)
                    break;
                // Concatenated gzip members continue the same body.
                if (inflateReset(&z) != Z_OK)
                    ok = false;
                continue;
            }
            if (z.avail_in == 0 && z.avail_out != 0) {
                ok = false; // input ended before the stream did: truncated
                break;
            }
        }
        inflateEnd(&z);
        return ok;
    };

    QByteArray out;
    bool ok = inflateWith(15 + 32, out);
    if (!ok && !tooLarge && deflate && !gzip) {
        out.clear();
        ok = inflateWith(-15, out);
    }
    if (!ok)
        return makeError(tooLarge ? ResponseTooLarge : CompressionError);
    responseData_ = std::move(out);
    return std::nullopt;
}
