#pragma once

#include <memory>

#include <QUrl>

#include "foundation/Error.h"

class HttpRequest;
class Operation;

// Asks a server how large an image is without downloading it (HEAD), to tell
// a real page image from an error page or a placeholder before a whole
// chapter is fetched. One probe object serves every probe of a deduction and
// reuses its request.
//
// Thread contract: checkWithURL runs synchronously on the deduction's thread;
// cancelling the owning operation (from any thread) fails the probe in
// flight and every later one.
class ImageHeader
{
public:
    explicit ImageHeader(Operation *owner = nullptr);
    ~ImageHeader();
    ImageHeader(const ImageHeader &) = delete;
    ImageHeader &operator=(const ImageHeader &) = delete;

    // True when the announced length lies within the deducer limits (both
    // bounds included). On false, *error holds the transport error, code 4
    // for a length too small or unannounced, code 3 for one too large, or
    // nothing when no response came at all.
    bool checkWithURL(const QUrl &url, OptionalError *error = nullptr);

    // What the last probe's response announced; -1 when it announced none.
    qint64 expectedContentLength() const { return expectedContentLength_; }

    void setTimeOutSeconds(double seconds);

private:
    Operation *owner_;
    std::unique_ptr<HttpRequest> request_;
    qint64 expectedContentLength_ = -1;
};
