#include "sites/CatalogueFetchOperation.h"

#include <memory>

#include <QUrl>

#include "web/HttpRequest.h"
#include "web/PageTextFetcher.h"

namespace {
constexpr double kTimeOutSeconds = 30.0;
} // namespace

void CatalogueFetchOperation::cancel()
{
    Operation::cancel();
    std::lock_guard lock(requestMutex_);
    if (activeRequest_)
        activeRequest_->cancel();
}

QString CatalogueFetchOperation::fetchPageText(const QString &urlString, const Error &unknownEncoding,
                                               OptionalError &error)
{
    auto load = [this, &urlString](bool browserHeaders) {
        auto request = std::make_unique<HttpRequest>(QUrl(urlString));
        if (browserHeaders)
            request->addRequestHeader(QStringLiteral("User-Agent"), HttpRequest::browserUserAgent());
        request->setTimeOutSeconds(kTimeOutSeconds);
        {
            std::lock_guard lock(requestMutex_);
            activeRequest_ = request.get();
            if (isCancelled())
                request->cancel();
        }
        request->startSynchronous();
        std::lock_guard lock(requestMutex_);
        activeRequest_ = nullptr;
        return request;
    };

    const auto request = load(true);
    if (request->error()) {
        error = request->error();
        return {};
    }
    QString text = PageTextFetcher::decodeUtf8(request->responseData());
    if (text.isEmpty())
        text = PageTextFetcher::decodeAscii(request->responseData());
    if (text.isEmpty()) {
        // Neither UTF-8 nor plain ASCII: load the page again and let its
        // declared or detected charset decide. A failure of that second
        // load means the text could not be had, not a transport problem.
        const auto again = load(false);
        if (!again->error())
            text =
                PageTextFetcher::decodeDetected(again->responseData(), again->responseHeader("Content-Type"));
    }
    if (text.isEmpty())
        error = unknownEncoding;
    return text;
}

bool CatalogueFetchOperation::reportUnlessCancelled(std::mutex &lock, const std::function<void()> &report)
{
    std::lock_guard guard(lock);
    if (isCancelled())
        return false;
    report();
    return true;
}
