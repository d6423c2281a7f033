#include "web/PageTextFetcher.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>

#include <QStringDecoder>
#include <QUrl>

#include "foundation/Operation.h"
#include "web/HttpRequest.h"

namespace {

QByteArray charsetOf(const QByteArray &contentType)
{
    for (QByteArray part : contentType.split(';')) {
        part = part.trimmed();
        if (part.toLower().startsWith("charset=")) {
            QByteArray value = part.mid(8).trimmed();
            if (value.size() >= 2 && (value.startsWith('"') || value.startsWith('\'')))
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

// With strict set, bytes that the charset cannot map make the conversion
// fail instead of turning into replacement characters.
QString convertWith(const char *charset, const QByteArray &bytes, bool strict)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(ucnv_open(charset, &status), &ucnv_close);
    if (U_FAILURE(status) || !converter)
        return {};
    if (strict) {
        ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        if (U_FAILURE(status))
            return {};
    }
    QString out;
    // UTF-16 never needs more code units than the input has bytes, plus a
    // surrogate pair of slack for multi-byte charsets that expand.
    out.resize(bytes.size() * 2 + 2);
    status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_toUChars(converter.get(), reinterpret_cast<UChar *>(out.data()), int32_t(out.size()),
                      bytes.constData(), int32_t(bytes.size()), &status);
    if (U_FAILURE(status))
        return {};
    out.resize(length);
    return out;
}

bool isAscii(const QByteArray &bytes)
{
    const char *p = bytes.constData();
    const char *const end = p + bytes.size();
    std::uint64_t high = 0;
    for (; end - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        high |= word;
    }
    for (; p != end; ++p)
        high |= std::uint8_t(*p);
    return (high & 0x8080808080808080ull) == 0;
}

} // namespace

QString PageTextFetcher::decodeUtf8(const QByteArray &bytes)
{
    // Most pages are plain ASCII, where UTF-8 and Latin-1 agree and the
    // Latin-1 widening is the cheaper conversion by far.
    if (!bytes.isEmpty() && isAscii(bytes))
        return QString::fromLatin1(bytes);
    // Stateless: a sequence cut off at the end is an error, not a pending state.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return {};
    return text;
}

QString PageTextFetcher::decodeAscii(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) > 127)
            return {};
    }
    return QString::fromLatin1(bytes);
}

QString PageTextFetcher::decodeDetected(const QByteArray &bytes, const QByteArray &contentType)
{
    if (bytes.isEmpty())
        return {};
    const QByteArray declared = charsetOf(contentType);
    if (!declared.isEmpty()) {
        // A declared charset is only trusted when the bytes agree with it.
        QString text = convertWith(declared.constData(), bytes, true);
        if (!text.isEmpty())
            return text;
    }

    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCharsetDetector, decltype(&ucsdet_close)> detector(ucsdet_open(&status), &ucsdet_close);
    if (U_FAILURE(status))
        return {};
    // Markup is ASCII and would drown the statistics of the text between tags.
    ucsdet_enableInputFilter(detector.get(), true);
    ucsdet_setText(detector.get(), bytes.constData(), int32_t(bytes.size()), &status);
    const UCharsetMatch *match = ucsdet_detect(detector.get(), &status);
    if (U_FAILURE(status) || !match)
        return {};
    const char *name = ucsdet_getName(match, &status);
    if (U_FAILURE(status) || !name)
        return {};
    return convertWith(name, bytes, false);
}

QString PageTextFetcher::decode(const QByteArray &bytes)
{
    QString text = decodeUtf8(bytes);
    if (text.isEmpty())
        text = decodeAscii(bytes);
    if (text.isEmpty())
        text = decodeDetected(bytes);
    return text;
}

QString PageTextFetcher::escapedAddress(const QString &urlString)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(urlString, "!#$&'()*+,/:;=?@[]~"));
}

PageText PageTextFetcher::fetch(const QString &urlString, const Policy &policy, Operation *operation)
{
    const QUrl url(policy.escapeAddress && !urlString.contains(u'%') ? escapedAddress(urlString) : urlString,
                   QUrl::TolerantMode);
    auto run = [operation](HttpRequest &request) {
        if (operation)
            operation->runCancellable([&request] { request.startSynchronous(); },
                                      [&request] { request.cancel(); });
        else
            request.startSynchronous();
    };

    PageText result;
    {
        HttpRequest request(url);
        if (policy.browserUserAgent)
            request.addRequestHeader(QStringLiteral("User-Agent"), HttpRequest::browserUserAgent());
        request.setTimeOutSeconds(policy.timeOutSeconds);
        request.setNumberOfTimesToRetryOnTimeout(policy.retriesOnTimeout);
        run(request);
        if (request.error()) {
            result.error = request.error();
            result.requestFailed = true;
            return result;
        }
        result.text = decodeUtf8(request.responseData());
        if (!result.text.isEmpty() || policy.decoding == Decoding::Utf8Only)
            return result;
        result.text = decodeAscii(request.responseData());
        if (!result.text.isEmpty())
            return result;
    }

    HttpRequest again(url);
    again.setTimeOutSeconds(policy.fallbackTimeOutSeconds);
    run(again);
    result.error = again.error();
    if (!result.error)
        result.text = decodeDetected(again.responseData(), again.responseHeader("Content-Type"));
    return result;
}
