#include "sites/NavBooksFetcher.h"

#include <mutex>

#include "foundation/ActivitySwitches.h"
#include "foundation/Localized.h"
#include "sites/BooksParserDelegate.h"
#include "sites/LicensedBooksFilter.h"
#include "sites/LicensedGenreBooksFilter.h"
#include "sites/NavBooksFetcherMangaFox.h"
#include "sites/NavBooksFetcherMangaHere.h"
#include "sites/NavBooksFetcherMangaReader.h"
#include "sites/NavBooksFetcherOneManga.h"
#include "sites/SiteConfig.h"

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

template <class T>
std::shared_ptr<NavBooksFetcher> makeFetcher(const QString &urlString, const QString &rootTitle,
                                             const QString &directoryURLString, bool doSectionFilter,
                                             NavBooksFetcherDelegate *delegate)
{
    return std::make_shared<T>(urlString, rootTitle, directoryURLString, doSectionFilter, delegate);
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

std::shared_ptr<NavBooksFetcher> NavBooksFetcher::navBooksFetcherWithURLString(
    const QString &urlString, const QString &rootTitle, const QString &directoryURLString,
    const QString & /*sectionTitle*/, bool doSectionFilter, NavBooksFetcherDelegate *delegate)
{
    const QString key = SiteConfig::siteKeyForURL(urlString);
    std::shared_ptr<NavBooksFetcher> fetcher;
    if (key == u"onemanga")
        fetcher = makeFetcher<NavBooksFetcherOneManga>(urlString, rootTitle, directoryURLString,
                                                       doSectionFilter, delegate);
    else if (key == u"mangafox")
        fetcher = makeFetcher<NavBooksFetcherMangaFox>(urlString, rootTitle, directoryURLString,
                                                       doSectionFilter, delegate);
    else if (key == u"mangareader")
        fetcher = makeFetcher<NavBooksFetcherMangaReader>(urlString, rootTitle, directoryURLString,
                                                          doSectionFilter, delegate);
    else if (key == u"mangahere")
        fetcher = makeFetcher<NavBooksFetcherMangaHere>(urlString, rootTitle, directoryURLString,
                                                        doSectionFilter, delegate);
    return fetcher;
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
    if (succeeded)
        filterLicensed();
    ActivitySwitches::networkActivityOff();
    if (isCancelled())
        return;

    if (!delegate_)
        return;
    if (succeeded)
        reportUnlessCancelled(finishedLock(), [this] { delegate_->navBooksFetcherFinished(*this); });
    else
        reportUnlessCancelled(failedLock(), [this] { delegate_->navBooksFetcherFailed(*this); });
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
