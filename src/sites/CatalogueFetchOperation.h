#pragma once

#include <functional>
#include <mutex>

#include <QString>

#include "foundation/Error.h"
#include "foundation/Operation.h"

// Base of the catalogue fetchers (book lists, chapter lists, latest
// releases): the page load they share and the way they report.
//
// Each fetcher class keeps two class-wide locks, one for success reports and
// one for failure reports, given to Operation::reportOnMain, so that at most
// one fetcher of a kind talks to its delegate at a time and only the newest
// request is heard.
//
// Thread contract: the load and the report run on the operation's thread;
// cancel() may be called from any thread and cuts a running request short.
class CatalogueFetchOperation : public Operation
{
protected:
    // Loads a catalogue page as text: one GET with the browser "User-Agent"
    // and a 30-second time-out, decoded as UTF-8, else as ASCII, else loaded
    // again and decoded by its declared or detected charset. On failure the
    // text is empty and error holds the request's own error, or
    // unknownEncoding when the page could not be turned into text.
    QString fetchPageText(const QString &urlString, const Error &unknownEncoding, OptionalError &error);

    // What every fetch does with its page's text once it has it, so that a
    // page already in hand (a saved page) is read exactly as a fetched one:
    // an empty text is one that could not be decoded (error becomes
    // unknownEncoding), then parse, then, unless cancelled meanwhile,
    // filterLicensed. Returns whether the page gave a result.
    bool readPageText(const QString &text, const Error &unknownEncoding, OptionalError &error,
                      const std::function<bool()> &parse, const std::function<void()> &filterLicensed);
};
