#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include "foundation/Error.h"

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
// Thread contract: fetch() blocks the calling thread for the whole exchange,
// so it belongs on background threads; the decoders are pure functions.
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

    static PageText fetch(const QUrl &url, const Options &options);
    static PageText fetch(const QUrl &url) { return fetch(url, Options()); }

    // Empty unless the bytes are entirely valid UTF-8.
    static QString decodeUtf8(const QByteArray &bytes);
    // Empty unless every byte is below 128.
    static QString decodeAscii(const QByteArray &bytes);
    // Uses the charset named in contentType when it is known, otherwise ICU's
    // detector; empty when neither yields a converter.
    static QString decodeDetected(const QByteArray &bytes, const QByteArray &contentType = QByteArray());
};
