#include "sites/NavBaseChaptersFetcher.h"

#include "foundation/ActivitySwitches.h"
#include "foundation/Localized.h"
#include "web/HyperParser.h"

NavBaseChaptersFetcher::NavBaseChaptersFetcher(const QString &urlString,
                                               NavBaseChaptersFetcherDelegate *delegate)
    : urlString_(urlString), delegate_(delegate)
{}

QString NavBaseChaptersFetcher::errorDomain()
{
    return QStringLiteral("NavBaseChaptersFetcherErrorDomain");
}

Error NavBaseChaptersFetcher::cannotFindChaptersError()
{
    return Error{errorDomain(), 1, localized("No chapters found")};
}

Error NavBaseChaptersFetcher::unknownEncodingError()
{
    return Error{errorDomain(), 3, localized("Unknown encoding")};
}

void NavBaseChaptersFetcher::parseHTML(HyperParserDelegate &parser)
{
    HyperParser hyperParser(htmlString_);
    hyperParser.setDelegate(&parser);
    hyperParser.setOperationDelegate(this);
    hyperParser.parse();
}

bool NavBaseChaptersFetcher::failWithError(const Error &error)
{
    error_ = error;
    return false;
}

bool NavBaseChaptersFetcher::fetchHTML(const QString &urlString)
{
    htmlString_ = fetchPageText(urlString, unknownEncodingError(), error_);
    return !htmlString_.isEmpty();
}

bool NavBaseChaptersFetcher::readPage(const QString &text)
{
    htmlString_ = text;
    return readPageText(
        htmlString_, unknownEncodingError(), error_, [this] { return go(); }, [this] { filterLicensed(); });
}

void NavBaseChaptersFetcher::main()
{
    ActivitySwitches::networkActivityOn();
    const bool succeeded = !isCancelled() && fetchHTML(urlString_) && !isCancelled() && readPage(htmlString_);
    ActivitySwitches::networkActivityOff();
    if (isCancelled() || !delegate_)
        return;
    if (succeeded)
        reportOnMain(finishedLock(), [this] { delegate_->navBaseChaptersFetcherFinished(this); });
    else
        reportOnMain(failedLock(), [this] { delegate_->navBaseChaptersFetcherFailed(this); });
}
