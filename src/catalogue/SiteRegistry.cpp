#include "catalogue/SiteRegistry.h"

#include <array>

#include <QUrl>

#include "deduction/Deducer.h"
#include "sites/mangafox/BooksParserDelegateMangaFox.h"
#include "sites/mangafox/DeducerMangaFox.h"
#include "sites/mangafox/MangaFoxSections.h"
#include "sites/mangafox/NavBooksFetcherMangaFox.h"
#include "sites/mangafox/NavChaptersFetcherMangaFox.h"
#include "sites/mangafox/NavRecentChaptersFetcherMangaFox.h"
#include "sites/mangafox/URLParserMangaFox.h"
#include "sites/mangahere/BooksParserDelegateMangaHere.h"
#include "sites/mangahere/DeducerMangaHere.h"
#include "sites/mangahere/MangaHereSections.h"
#include "sites/mangahere/NavBooksFetcherMangaHere.h"
#include "sites/mangahere/NavChaptersFetcherMangaHere.h"
#include "sites/mangahere/NavRecentChaptersFetcherMangaHere.h"
#include "sites/mangahere/URLParserMangaHere.h"
#include "sites/mangareader/BooksParserDelegateMangaReader.h"
#include "sites/mangareader/BooksParserDelegateMangaReaderPopular.h"
#include "sites/mangareader/DeducerMangaReader.h"
#include "sites/mangareader/MangaReaderSections.h"
#include "sites/mangareader/NavBooksFetcherMangaReader.h"
#include "sites/mangareader/NavChaptersFetcherMangaReader.h"
#include "sites/mangareader/NavRecentChaptersFetcherMangaReader.h"
#include "sites/mangareader/URLParserMangaReader.h"
#include "sites/onemanga/BooksParserDelegateOneManga.h"
#include "sites/onemanga/DeducerOneManga.h"
#include "sites/onemanga/NavBooksFetcherOneManga.h"
#include "sites/onemanga/NavChaptersFetcherOneManga.h"
#include "sites/onemanga/NavRecentChaptersFetcherOneManga.h"
#include "sites/onemanga/URLParserOneManga.h"

namespace {

using Site = SiteConfig::Site;

struct DeducerInputs {
    std::optional<QStringList> selectPages;
    std::optional<ImageElements> firstPageImages;
    const QString &htmlSource;
    const QString &firstPageURLString;
    const QString &webPageTitle;
    std::shared_ptr<ProgressSink> progressView;
    DeducerDelegate *delegate;
};

struct NamedBooksParser {
    const char *name;
    std::unique_ptr<BooksParserDelegate> (*make)();
};

// Everything one site is made of. The mirror of a site has no row of its
// own: SiteConfig names it by its site's word.
struct SiteModule {
    Site site;
    std::unique_ptr<URLParser> (*urlParser)(const QString &urlString);
    std::shared_ptr<NavBooksFetcher> (*booksFetcher)(const QString &urlString, const QString &rootTitle,
                                                     const QString &directoryURLString, bool doSectionFilter,
                                                     NavBooksFetcherDelegate *delegate);
    std::shared_ptr<NavChaptersFetcher> (*chaptersFetcher)(const QString &, NavBaseChaptersFetcherDelegate *);
    std::shared_ptr<NavRecentChaptersFetcher> (*recentChaptersFetcher)(const QString &,
                                                                       NavBaseChaptersFetcherDelegate *);
    std::shared_ptr<Deducer> (*deducer)(DeducerInputs inputs);
    std::shared_ptr<const NavSections> (*sections)();
    std::array<NamedBooksParser, 2> booksParsers;
    // The first reader page's link on a chapter cover page, for a site whose
    // chapter addresses lead to one; null for the others.
    QString (*coverPageLink)(const QString &text);
};

template <class URLParserT, class BooksFetcherT, class ChaptersFetcherT, class RecentFetcherT, class DeducerT>
SiteModule siteModule(Site site, std::shared_ptr<const NavSections> (*sections)(),
                      std::array<NamedBooksParser, 2> booksParsers,
                      QString (*coverPageLink)(const QString &) = nullptr)
{
    return SiteModule{
        site,
        [](const QString &urlString) -> std::unique_ptr<URLParser> {
            return URLParser::create<URLParserT>(urlString);
        },
        [](const QString &urlString, const QString &rootTitle, const QString &directoryURLString,
           bool doSectionFilter, NavBooksFetcherDelegate *delegate) -> std::shared_ptr<NavBooksFetcher> {
            return std::make_shared<BooksFetcherT>(urlString, rootTitle, directoryURLString, doSectionFilter,
                                                   delegate);
        },
        [](const QString &urlString,
           NavBaseChaptersFetcherDelegate *delegate) -> std::shared_ptr<NavChaptersFetcher> {
            return std::make_shared<ChaptersFetcherT>(urlString, delegate);
        },
        [](const QString &urlString,
           NavBaseChaptersFetcherDelegate *delegate) -> std::shared_ptr<NavRecentChaptersFetcher> {
            return std::make_shared<RecentFetcherT>(urlString, delegate);
        },
        [](DeducerInputs in) -> std::shared_ptr<Deducer> {
            return std::make_shared<DeducerT>(std::move(in.selectPages), std::move(in.firstPageImages),
                                              in.htmlSource, in.firstPageURLString, in.webPageTitle,
                                              std::move(in.progressView), in.delegate);
        },
        sections,
        booksParsers,
        coverPageLink,
    };
}

template <class T> std::shared_ptr<const NavSections> sectionsOf()
{
    return std::make_shared<T>();
}

template <class T> std::unique_ptr<BooksParserDelegate> booksParser()
{
    return std::make_unique<T>();
}

const std::array<SiteModule, 4> &modules()
{
    static const std::array<SiteModule, 4> table{
        siteModule<URLParserMangaFox, NavBooksFetcherMangaFox, NavChaptersFetcherMangaFox,
                   NavRecentChaptersFetcherMangaFox, DeducerMangaFox>(
            Site::MangaFox, sectionsOf<MangaFoxSections>,
            {{{"mangafox", booksParser<BooksParserDelegateMangaFox>}, {}}}),
        siteModule<URLParserMangaReader, NavBooksFetcherMangaReader, NavChaptersFetcherMangaReader,
                   NavRecentChaptersFetcherMangaReader, DeducerMangaReader>(
            Site::MangaReader, sectionsOf<MangaReaderSections>,
            {{{"mangareader", booksParser<BooksParserDelegateMangaReader>},
              {"mangareader-popular", booksParser<BooksParserDelegateMangaReaderPopular>}}}),
        siteModule<URLParserMangaHere, NavBooksFetcherMangaHere, NavChaptersFetcherMangaHere,
                   NavRecentChaptersFetcherMangaHere, DeducerMangaHere>(
            Site::MangaHere, sectionsOf<MangaHereSections>,
            {{{"mangahere", booksParser<BooksParserDelegateMangaHere>}, {}}}),
        siteModule<URLParserOneManga, NavBooksFetcherOneManga, NavChaptersFetcherOneManga,
                   NavRecentChaptersFetcherOneManga, DeducerOneManga>(
            Site::OneManga, nullptr, {{{"onemanga", booksParser<BooksParserDelegateOneManga>}, {}}},
            [](const QString &text) { return DeducerOneManga::coverPageLink(text); }),
    };
    return table;
}

const SiteModule *moduleFor(std::optional<Site> site)
{
    if (!site)
        return nullptr;
    for (const SiteModule &module : modules())
        if (module.site == *site)
            return &module;
    return nullptr;
}

const SiteModule *moduleForURL(const QString &urlString)
{
    return moduleFor(SiteConfig::siteForURL(urlString));
}

} // namespace

std::unique_ptr<URLParser> SiteRegistry::urlParserWithURLString(const QString &urlString)
{
    const SiteModule *module = moduleFor(SiteConfig::siteNamedIn(urlString));
    return module ? module->urlParser(urlString) : nullptr;
}

std::unique_ptr<URLParser> SiteRegistry::urlParserWithRoot(const QString &root,
                                                           const QString &chapterURLString)
{
    const SiteModule *module = moduleFor(SiteConfig::siteNamedIn(root));
    return module ? module->urlParser(chapterURLString) : nullptr;
}

std::shared_ptr<NavBooksFetcher> SiteRegistry::navBooksFetcherWithURLString(
    const QString &urlString, const QString &rootTitle, const QString &directoryURLString,
    const QString & /*sectionTitle*/, bool doSectionFilter, NavBooksFetcherDelegate *delegate)
{
    const SiteModule *module = moduleForURL(urlString);
    return module ? module->booksFetcher(urlString, rootTitle, directoryURLString, doSectionFilter, delegate)
                  : nullptr;
}

std::shared_ptr<NavChaptersFetcher>
SiteRegistry::navChaptersFetcherWithURLString(const QString &urlString,
                                              NavBaseChaptersFetcherDelegate *delegate)
{
    const SiteModule *module = moduleForURL(urlString);
    return module ? module->chaptersFetcher(urlString, delegate) : nullptr;
}

std::shared_ptr<NavRecentChaptersFetcher>
SiteRegistry::navRecentChaptersFetcherWithURLString(const QString &urlString,
                                                    NavBaseChaptersFetcherDelegate *delegate)
{
    const SiteModule *module = moduleForURL(urlString);
    return module ? module->recentChaptersFetcher(urlString, delegate) : nullptr;
}

std::shared_ptr<Deducer>
SiteRegistry::deducerWithSelectPages(std::optional<QStringList> selectPages,
                                     std::optional<ImageElements> firstPageImages, const QString &htmlSource,
                                     const QString &firstPageURLString, const QString &webPageTitle,
                                     std::shared_ptr<ProgressSink> progressView, DeducerDelegate *delegate)
{
    const SiteModule *module = moduleForURL(firstPageURLString);
    if (!module)
        return nullptr;
    return module->deducer(DeducerInputs{std::move(selectPages), std::move(firstPageImages), htmlSource,
                                         firstPageURLString, webPageTitle, std::move(progressView),
                                         delegate});
}

bool SiteRegistry::deducerReads(const QString &urlString)
{
    const QUrl url(urlString, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return false;
    const SiteModule *module = moduleForURL(urlString);
    return module && module->deducer;
}

std::vector<SiteConfig::Site> SiteRegistry::deducibleSites()
{
    std::vector<Site> sites;
    for (const SiteModule &module : modules())
        if (module.deducer)
            sites.push_back(module.site);
    return sites;
}

bool SiteRegistry::readsCoverPages(Site site)
{
    const SiteModule *module = moduleFor(site);
    return module && module->coverPageLink;
}

ReaderPageReading SiteRegistry::readReaderPage(const QString &text, const QString &pageURLString,
                                               std::optional<Site> coverPageSite)
{
    ReaderPageReading reading = Deducer::readReaderPage(text, pageURLString);
    const SiteModule *module = moduleFor(coverPageSite);
    if (module && module->coverPageLink)
        reading.firstPageURLString = module->coverPageLink(text);
    return reading;
}

std::shared_ptr<const NavSections> SiteRegistry::sections(Site site)
{
    const SiteModule *module = moduleFor(site);
    return module && module->sections ? module->sections() : nullptr;
}

std::unique_ptr<BooksParserDelegate> SiteRegistry::booksParserNamed(const QString &name)
{
    for (const SiteModule &module : modules())
        for (const NamedBooksParser &parser : module.booksParsers)
            if (parser.name && name == QLatin1String(parser.name))
                return parser.make();
    return nullptr;
}
