#pragma once

#include <atomic>
#include <mutex>

#include <QByteArray>
#include <QString>
#include <QUrl>

#include "foundation/Error.h"

class HttpRequest;

// The text of a fetched page, or why there is none. A fetch succeeds when
// the text is not empty and the last load reported no error.
struct PageText {
    QString text;
    OptionalError error;

    bool succeeded() const { return !error && !text.isEmpty(); }
};

// Fetches a site page as text: one GET with the browser "User-Agent", read
// as UTF-8, then as ASCII, then (when allowed) a second load whose encoding
// is taken from the response's charset or detected from the bytes.
//
// Thread contract: fetchText() and fetch() block the calling thread for the
// whole exchange, so they belong on background threads; cancel() may be
// called from any thread and ends the load in progress at once (the fetch
// then fails with the request's code 4). The decoders are pure functions.
class PageTextFetcher
{
public:
    struct Options {
        double timeOutSeconds = 30.0;
        int retriesOnTimeout = 0;
        // Some sites only ever serve UTF-8: for them an undecodable page is
        // simply empty and costs no second load.
        bool utf8Only = false;
    };

    PageTextFetcher() = default;
    explicit PageTextFetcher(const Options &options) : options_(options) {}
    PageTextFetcher(const PageTextFetcher &) = delete;
    PageTextFetcher &operator=(const PageTextFetcher &) = delete;

    PageText fetchText(const QUrl &url);
    void cancel();
    bool isCancelled() const { return cancelled_.load(); }

    // One fetch without a way to cancel it.
    static PageText fetch(const QUrl &url, const Options &options);
    static PageText fetch(const QUrl &url) { return fetch(url, Options()); }

    // Empty unless the bytes are entirely valid UTF-8.
    static QString decodeUtf8(const QByteArray &bytes);
    // Empty unless every byte is below 128.
    static QString decodeAscii(const QByteArray &bytes);
    // Uses the charset named in contentType when it is known, otherwise ICU's
    // detector; empty when neither yields a converter.
    static QString decodeDetected(const QByteArray &bytes, const QByteArray &contentType = QByteArray());

private:
    void run(HttpRequest &request);

    Options options_;
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_; // guards active_ against cancel() from another thread
    HttpRequest *active_ = nullptr;
};
