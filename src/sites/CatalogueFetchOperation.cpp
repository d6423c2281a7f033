#include "sites/CatalogueFetchOperation.h"

#include "web/PageTextFetcher.h"

QString CatalogueFetchOperation::fetchPageText(const QString &urlString, const Error &unknownEncoding,
                                               OptionalError &error)
{
    // A catalogue page is asked for once; a failure of the encoding
    // fallback's second load means the text could not be had, not a
    // transport problem.
    static const PageTextFetcher::Policy policy;
    PageText page = PageTextFetcher::fetch(urlString, policy, this);
    if (page.requestFailed) {
        error = page.error;
        return {};
    }
    if (page.text.isEmpty())
        error = unknownEncoding;
    return page.text;
}

bool CatalogueFetchOperation::readPageText(const QString &text, const Error &unknownEncoding,
                                           OptionalError &error, const std::function<bool()> &parse,
                                           const std::function<void()> &filterLicensed)
{
    if (text.isEmpty()) {
        error = unknownEncoding;
        return false;
    }
    if (!parse())
        return false;
    if (!isCancelled())
        filterLicensed();
    return true;
}
