#include "sites/NavBooksFetcher.h"

#include <mutex>

#include "foundation/ActivitySwitches.h"
#include "foundation/Localized.h"
#include "sites/BooksParserDelegate.h"
#include "sites/LicensedBooksFilter.h"
#include "sites/LicensedGenreBooksFilter.h"

namespace {

// One lock for every finishing fetcher and one for every failing one, so a
// fetcher cancelled while another reports sees its cancellation before it
// gets its own turn.
std::mutex &finishedLock()
{
    static std::mutex lock;
    return lock;
}

std::mutex &failedLock()
{
    static std::mutex lock;
    return lock;
}

} // namespace

const QString &NavBooksFetcher::errorDomain()
{
    static const QString domain = QStringLiteral("NavBooksFetcherErrorDomain");
    return domain;
}

Error NavBooksFetcher::cannotFindBooksError()
{
    return Error{errorDomain(), CannotFindBooks, localized("Unable to find mangas")};
}

Error NavBooksFetcher::unknownEncodingError()
{
    return Error{errorDomain(), UnknownEncoding, localized("Unknown encoding")};
}

NavBooksFetcher::NavBooksFetcher(const QString &urlString, const QString &rootTitle,
                                 const QString &directoryURLString, bool doSectionFilter,
                                 NavBooksFetcherDelegate *delegate)
    : urlString_(urlString), rootTitle_(rootTitle), directoryURLString_(directoryURLString),
      delegate_(delegate), doSectionFilter_(doSectionFilter)
{}

void NavBooksFetcher::main()
{
    ActivitySwitches::networkActivityOn();
    const bool succeeded = go();
    ActivitySwitches::networkActivityOff();
    if (isCancelled())
        return;

    if (!delegate_)
        return;
    if (succeeded) {
        if (reportOnMain(finishedLock(), [this] { delegate_->navBooksFetcherFinished(*this); }))
            delegate_->navBooksFetcherFinishedInBackground(*this);
    } else
        reportOnMain(failedLock(), [this] { delegate_->navBooksFetcherFailed(*this); });
}

bool NavBooksFetcher::go()
{
    throw NotImplementedException(QStringLiteral("NavBooksFetcher go not implement"));
}

bool NavBooksFetcher::fetchHTML(const QString &urlString)
{
    htmlString_ = fetchPageText(urlString, unknownEncodingError(), error_);
    return !htmlString_.isEmpty();
}

void NavBooksFetcher::filterLicensed()
{
    books_ = LicensedBooksFilter(books_).filteredNavBooks();
    if (doSectionFilter_)
        books_ = LicensedGenreBooksFilter(books_).filteredNavBooks();
}

bool NavBooksFetcher::failWithError(const Error &error)
{
    error_ = error;
    return false;
}

bool NavBooksFetcher::readPage(const QString &text, BooksParserDelegate &parser)
{
    htmlString_ = text;
    return readPageText(
        htmlString_, unknownEncodingError(), error_, [&] { return parseBooks(parser); },
        [this] { filterLicensed(); });
}

bool NavBooksFetcher::parseBooks(BooksParserDelegate &parser)
{
    parser.parsePage(htmlString_, this);
    books_ = parser.takeNavBooks();
    if (isCancelled())
        return false;
    if (books_.isEmpty())
        return failWithError(cannotFindBooksError());
    return true;
}
