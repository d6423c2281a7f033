#include "deduction/ImageHeader.h"

#include "deduction/Deducer.h"
#include "deduction/DeducerParams.h"
#include "foundation/Operation.h"
#include "web/HttpRequest.h"

ImageHeader::ImageHeader(Operation *owner) : owner_(owner), request_(std::make_unique<HttpRequest>(QUrl()))
{
    // No response cache is ever attached, so every probe asks the server.
    request_->setRequestMethod(QStringLiteral("HEAD"));
    request_->setTimeOutSeconds(30.0);
}

ImageHeader::~ImageHeader() = default;

void ImageHeader::setTimeOutSeconds(double seconds)
{
    request_->setTimeOutSeconds(seconds);
}

bool ImageHeader::checkWithURL(const QUrl &url, OptionalError *error)
{
    auto fail = [error](OptionalError e) {
        if (error)
            *error = std::move(e);
        return false;
    };
    request_->setURL(url);
    if (owner_)
        owner_->runCancellable([this] { request_->startSynchronous(); }, [this] { request_->cancel(); });
    else
        request_->startSynchronous();
    if (request_->error())
        return fail(request_->error());
    if (request_->responseStatusCode() == 0)
        return fail(std::nullopt);

    // The status is not examined: an error page is caught by its size.
    expectedContentLength_ = request_->contentLength();
    const DeducerParams &params = DeducerParams::sharedDeducerParams();
    if (expectedContentLength_ < params.imageHeaderMinimumByteSize)
        return fail(Deducer::cannotLocateImageError());
    if (expectedContentLength_ > params.imageHeaderMaximumByteSize)
        return fail(Deducer::imageTooLargeError());
    return true;
}
