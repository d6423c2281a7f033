#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

#include "deduction/ImageElement.h"
#include "deduction/ReaderPageReading.h"
#include "sites/SiteConfig.h"

class BooksParserDelegate;
class Deducer;
class DeducerDelegate;
class NavBaseChaptersFetcherDelegate;
class NavBooksFetcher;
class NavBooksFetcherDelegate;
class NavChaptersFetcher;
class NavRecentChaptersFetcher;
class NavSections;
class ProgressSink;
class URLParser;

// The one place that knows which classes make up each site: everything
// that picks a site's part by an address or a name goes through here.
// Adding a site is a new folder under sites/ plus one row in the table.
// Thread contract: stateless; any thread.
class SiteRegistry
{
public:
    using Site = SiteConfig::Site;

    // The URL parser of the site the address names (its site word only, see
    // SiteConfig::siteNamedIn); null when it names none.
    static std::unique_ptr<URLParser> urlParserWithURLString(const QString &urlString);
    // The same choice made on a site key instead of the address, for pages
    // whose chapter links do not name their site.
    static std::unique_ptr<URLParser> urlParserWithRoot(const QString &root, const QString &chapterURLString);

    // The fetchers and the deducer of the site an address belongs to (its
    // site word, or a configured base URL it starts with, so a mirror or a
    // test site counts as the site it stands in for); null for any other
    // address. The section title is accepted for the callers' convenience
    // and not used.
    static std::shared_ptr<NavBooksFetcher>
    navBooksFetcherWithURLString(const QString &urlString, const QString &rootTitle,
                                 const QString &directoryURLString, const QString &sectionTitle,
                                 bool doSectionFilter, NavBooksFetcherDelegate *delegate);
    static std::shared_ptr<NavChaptersFetcher>
    navChaptersFetcherWithURLString(const QString &urlString, NavBaseChaptersFetcherDelegate *delegate);
    static std::shared_ptr<NavRecentChaptersFetcher>
    navRecentChaptersFetcherWithURLString(const QString &urlString, NavBaseChaptersFetcherDelegate *delegate);
    static std::shared_ptr<Deducer>
    deducerWithSelectPages(std::optional<QStringList> selectPages,
                           std::optional<ImageElements> firstPageImages, const QString &htmlSource,
                           const QString &firstPageURLString, const QString &webPageTitle,
                           std::shared_ptr<ProgressSink> progressView, DeducerDelegate *delegate);

    // Whether a deducer reads the chapter at this address: an http or https
    // address of a site that has one (as deducerWithSelectPages chooses).
    static bool deducerReads(const QString &urlString);
    // The sites that have a deducer, in the table's order.
    static std::vector<Site> deducibleSites();

    // Whether the site's deducer reaches the first reader page through a
    // chapter cover page.
    static bool readsCoverPages(Site site);
    // What the deducers read on a reader page, from its text alone (its own
    // address is pageURLString). With coverPageSite, a site that
    // readsCoverPages, the page is also read as that site's cover page.
    static ReaderPageReading readReaderPage(const QString &text, const QString &pageURLString,
                                            std::optional<Site> coverPageSite = std::nullopt);

    // A site's section table; null for a site without sections.
    static std::shared_ptr<const NavSections> sections(Site site);

    // A book-list parser by its name: a site's option name, or a named
    // variant ("mangareader-popular"); null for an unknown name.
    static std::unique_ptr<BooksParserDelegate> booksParserNamed(const QString &name);
};
