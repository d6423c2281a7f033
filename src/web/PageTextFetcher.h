#pragma once

#include <QByteArray>
#include <QString>

#include "foundation/Error.h"

class Operation;

// The text of a fetched page, or why there is none. A fetch succeeds when
// the text is not empty and the last load reported no error.
struct PageText {
    QString text;
    OptionalError error;
    // The error is the page request's own (a transport failure, a time-out
    // or a cancel), not that of the encoding fallback's second load.
    bool requestFailed = false;

    bool succeeded() const { return !error && !text.isEmpty(); }
};

// Fetches a site page as text, the one way every page is read. Callers
// differ on purpose, and say how in a Policy: the catalogue's pages are
// fetched once, the deducers' reader pages retry on a time-out, some sites
// only ever serve UTF-8, and a cover page is read the way a plain loader
// would read it.
//
// Thread contract: fetch() blocks the calling thread for the whole exchange,
// so it belongs on background threads; cancelling the operation it is given
// (from any thread) ends the load in flight at once, and the fetch then
// fails with the request's code 4. The decoders are pure functions.
class PageTextFetcher
{
public:
    enum class Decoding {
        // UTF-8, else ASCII, else a second load whose declared or detected
        // charset decides.
        WithFallbacks,
        // UTF-8 only: an undecodable page is simply empty and costs no
        // second load.
        Utf8Only,
    };

    struct Policy {
        int retriesOnTimeout = 0;
        Decoding decoding = Decoding::WithFallbacks;
        // Sent by the first load only; the second load stands in for a
        // loader that works the encoding out by itself and sends no header
        // of ours.
        bool browserUserAgent = true;
        double timeOutSeconds = 30.0;
        double fallbackTimeOutSeconds = 30.0;
        // Percent-escape the address first, unless it holds a "%" and so is
        // taken as escaped already.
        bool escapeAddress = false;
    };

    static PageText fetch(const QString &urlString, const Policy &policy, Operation *operation = nullptr);

    // Escapes spaces, quotes, brackets and non-ASCII text as UTF-8; keeps
    // everything a URL may hold as it is.
    static QString escapedAddress(const QString &urlString);

    // Empty unless the bytes are entirely valid UTF-8.
    static QString decodeUtf8(const QByteArray &bytes);
    // Empty unless every byte is below 128.
    static QString decodeAscii(const QByteArray &bytes);
    // Uses the charset named in contentType when it is known, otherwise ICU's
    // detector; empty when neither yields a converter.
    static QString decodeDetected(const QByteArray &bytes, const QByteArray &contentType = QByteArray());
    // Bytes already at hand (a saved page) by the fallback rule: UTF-8, else
    // ASCII, else the detected charset.
    static QString decode(const QByteArray &bytes);
};
