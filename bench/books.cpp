// A site's directory page of 15,000 books, generated here in the first
// site's layout, read the way a book list reads it:
// - filter: the licensed-title filter over the page's books against the
//   page's parse alone (at most 0.2 holds);
// - rows on screen: from the page's text to the list's rows painted, against
//   the parse and the filter alone (at most 1.3 holds), in the phone layout,
//   offscreen. The list is already on screen and waiting, as it is in the
//   application while its page downloads. The page goes through the list
//   fetcher's own tail (parse, filter, the report to the main thread, the
//   list handed to the screen through the list cache) on the fetch queue's
//   thread, and the main thread runs its event loop until the list has
//   painted its rows (its first paint with books in it). The cache file is
//   written on the fetch's thread after the hand-over, as in the
//   application, so it is not in the figure; the time until it is written
//   is printed beside it.
//   The parse and the filter alone are timed on that same thread, started
//   the same way: on two processors, a thread woken while another program
//   keeps the other one busy runs at half speed, and timing one side on the
//   main thread made the figure depend on where the scheduler put the fetch.
//   The same parse and filter on the main thread are printed beside them.
//   The first rounds, which build the collation index and the fetch
//   thread's memory once per run, are not counted (the first is printed).
//   The time the next visit takes to read the list back from its file is
//   printed too (no bound);
// - typing in the list's search field: the longest main-thread stall over
//   20 keystrokes on those rows (under 16 ms holds).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QListView>
#include <QStringList>
#include <QTemporaryDir>

#include "catalogue/NavBooksFetcherQueueWrapper.h"
#include "files/MyDirectories.h"
#include "foundation/Alerts.h"
#include "settings/MyUserDefaults.h"
#include "sites/NavBooksCache.h"
#include "ui/internet/NavBooksViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/SearchBar.h"
#include "ui/kit/TableView.h"

#include "sites/LicensedBooksFilter.h"
#include "sites/mangafox/BooksParserDelegateMangaFox.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBooks = 15000;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Titles of two to five made-up words; about one in fifty is a licensed
// title or carries a licensed phrase, as on a real directory.
QStringList generatedTitles()
{
    static const char *const syllables[] = {"ka", "ri", "mo", "to", "na", "shi", "yu", "ra",  "ken", "do",
                                            "hi", "ma", "su", "zu", "ko", "no",  "ai", "tsu", "be",  "ro"};
    const QStringList phrases = LicensedFilter::licensedPhrases();
    QList<QString> table = LicensedFilter::defaultTitles().values();
    // The set's order changes from run to run; the page must not.
    std::sort(table.begin(), table.end());
    std::mt19937 random(26);
    std::uniform_int_distribution<int> syllable(0, 19), count(2, 5), length(1, 3), odd(0, 99);
    QStringList titles;
    for (int i = 0; i < kBooks; ++i) {
        QString title;
        const int words = count(random);
        for (int w = 0; w < words; ++w) {
            QString word;
            for (int s = length(random); s > 0; --s)
                word += QString::fromLatin1(syllables[syllable(random)]);
            word[0] = word[0].toUpper();
            title += (w ? QStringLiteral(" ") : QString()) + word;
        }
        const int roll = odd(random);
        if (roll == 0)
            title = table[qsizetype(random() % table.size())];
        else if (roll == 1)
            title += u' ' + phrases[qsizetype(random() % phrases.size())].toUpper();
        titles << title + QStringLiteral(" ") + QString::number(i);
    }
    return titles;
}

QString directoryPage(const QStringList &titles)
{
    QString html = QStringLiteral("<html><head><title>Manga Directory</title></head><body>\n"
                                  "<table id=\"listing\">\n<tr><th>Manga Name</th><th>Views</th></tr>\n");
    for (const QString &title : titles) {
        QString slug = title.toLower();
        slug.replace(u' ', u'_');
        html += QStringLiteral("<tr><td><a href=\"http://www.mangafox.com/manga/") + slug +
                QStringLiteral("/\" class=\"manga_open\">") + title +
                QStringLiteral("</a></td><td>1,234</td><td>Ongoing</td></tr>\n");
    }
    return html + QStringLiteral("</table></body></html>\n");
}

QList<NavBook> parse(const QString &html)
{
    BooksParserDelegateMangaFox parser;
    parser.parsePage(html);
    return parser.navBooks();
}

// The list's fetch once its page has arrived: all that a fetch does after
// the download, through the fetcher's own main() and readPage().
class PageInHand : public NavBooksFetcher
{
public:
    PageInHand(const QString &page, const QString &rootTitle, const QString &directory,
               NavBooksFetcherDelegate *delegate)
        : NavBooksFetcher({}, rootTitle, directory, false, delegate), page_(page)
    {}

    bool go() override
    {
        // In the application the page arrives on this thread, in the same
        // place: the clock starts when the text is in hand.
        started_ = Clock::now();
        BooksParserDelegateMangaFox parser;
        return readPage(page_, parser);
    }

    // Read once the report has reached the main thread, which the hand-over
    // orders after go().
    Clock::time_point started() const { return started_; }

private:
    QString page_;
    Clock::time_point started_;
};

// The parse and the filter alone, timed where they run.
class ParseAndFilter : public Operation
{
public:
    explicit ParseAndFilter(const QString &page) : page_(page) {}

    void main() override
    {
        const auto start = Clock::now();
        kept_ = LicensedBooksFilter(parse(page_)).filteredNavBooks();
        milliseconds_ = millisecondsSince(start);
    }

    // Read once the queue has finished the operation.
    double milliseconds() const { return milliseconds_; }

private:
    QString page_;
    // Kept, so that freeing the list is not timed.
    QList<NavBook> kept_;
    double milliseconds_ = 0;
};

// Tells when the list's rows were first painted with books in them.
class RowsPainted : public QObject
{
public:
    explicit RowsPainted(NavBooksViewController &list) : list_(list)
    {
        list_.tableView()->listView()->viewport()->installEventFilter(this);
    }

    // Once the paint event has been handled, that is back in the loop.
    bool done() const { return painted_; }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !list_.books().isEmpty())
            painted_ = true;
        return false;
    }

private:
    NavBooksViewController &list_;
    bool painted_ = false;
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    MyDirectories::setRootDirectory(home.path());
    Alerts::install(std::make_shared<AlertRecorder>());

    const QString html = directoryPage(generatedTitles());
    std::vector<double> parses;
    std::vector<double> filters;
    QList<NavBook> books;
    qsizetype kept = 0;
    for (int round = 0; round < 15; ++round) {
        auto start = Clock::now();
        books = parse(html);
        parses.push_back(millisecondsSince(start));
        start = Clock::now();
        kept = LicensedBooksFilter(books).filteredNavBooks().size();
        filters.push_back(millisecondsSince(start));
    }
    std::printf("directory page: %.2f MB, %lld books, %lld kept\n", double(html.toUtf8().size()) / 1e6,
                static_cast<long long>(books.size()), static_cast<long long>(kept));
    std::printf("parse %.2f ms, filter %.2f ms (medians of %zu)\n", median(parses), median(filters),
                parses.size());
    std::printf("filter ratio %.3f\n", median(filters) / median(parses));

    // The same page through to the rows of an indexed list on screen.
    MyUserDefaults defaults;
    defaults.setFilename(home.filePath(QStringLiteral("userDefaults")));
    NavBooksFetcherQueueWrapper wrapper;
    NavScreenContext context;
    context.services.userDefaults = &defaults;
    context.booksFetcher = &wrapper;
    const QString site = QStringLiteral("MangaFox.com");
    const QString directory = QStringLiteral("/directory/");
    std::vector<double> screens;
    std::vector<double> baselines;
    std::vector<double> mainBaselines;
    std::vector<double> written;
    std::unique_ptr<NavigationController> stack;
    NavBooksViewController *list = nullptr;
    // The first rounds build the collation index and grow the fetch
    // thread's memory to what the lists take (the one shown, the one coming,
    // the yardstick's), as the rounds above grew the main thread's: once per
    // run of the application. They are not counted; the first is printed.
    constexpr int kWarmUps = 3;
    double cold = 0;
    for (int round = 0; round < kWarmUps + 15; ++round) {
        stack.reset();
        QFile::remove(NavBooksCache::filePath(site, directory));
        app.processEvents();
        auto start = Clock::now();
        const QList<NavBook> keptOnMain = LicensedBooksFilter(parse(html)).filteredNavBooks();
        const double onMain = millisecondsSince(start);
        const qsizetype kept = keptOnMain.size();

        // The list opened and asked for its page: with no site at this
        // address nothing is fetched, and the list waits as for a download.
        auto screen =
            std::make_unique<NavBooksViewController>(context, QStringLiteral("http://x.localhost/"), site,
                                                     directory, QStringLiteral("All"), true, false);
        list = screen.get();
        stack = std::make_unique<NavigationController>(std::move(screen));
        stack->resize(390, 760);
        stack->show();
        stack->repaint();
        app.processEvents();

        auto fetch = std::make_shared<PageInHand>(html, site, directory, &wrapper);
        wrapper.queue().addOperation(fetch);
        // The rows are on screen once the list has painted them, in the
        // update pass its event loop runs after the report.
        RowsPainted painted(*list);
        const auto giveUp = Clock::now() + std::chrono::seconds(30);
        while (!painted.done() && Clock::now() < giveUp)
            app.processEvents(QEventLoop::WaitForMoreEvents);
        const double shown = millisecondsSince(fetch->started());
        wrapper.queue().waitUntilAllOperationsAreFinished();
        const double writtenAfter = millisecondsSince(fetch->started());
        // The yardstick: the same parse and filter on the fetch's thread,
        // started the way the fetch was (after it, so that the first fetch
        // of the run finds the thread as cold as the application does).
        auto alone = std::make_shared<ParseAndFilter>(html);
        wrapper.queue().addOperation(alone);
        wrapper.queue().waitUntilAllOperationsAreFinished();
        const double baseline = alone->milliseconds();
        alone.reset();
        if (round == 0)
            cold = shown;
        if (round >= kWarmUps) {
            baselines.push_back(baseline);
            mainBaselines.push_back(onMain);
            screens.push_back(shown);
            written.push_back(writtenAfter);
        }
        if (list->books().size() != kept)
            std::printf("the list shows %lld books of %lld\n", static_cast<long long>(list->books().size()),
                        static_cast<long long>(kept));
        if (!QFile::exists(NavBooksCache::filePath(site, directory)))
            std::printf("the list's cache was not written\n");
    }
    std::printf("first list of the run: page to rows on screen %.2f ms (not counted)\n", cold);
    // The next visit reads the list from its file.
    std::vector<double> reads;
    for (int read = 0; read < 3; ++read) {
        const auto start = Clock::now();
        const QList<NavBook> back = NavBooksCache::books(site, directory);
        reads.push_back(millisecondsSince(start));
        if (back != list->books())
            std::printf("the list's cache does not hold the list\n");
    }
    std::printf("list read back from its cache file %.2f ms (median of %zu; no bound)\n", median(reads),
                reads.size());
    std::printf("page to cache file written %.2f ms (median of %zu; no bound)\n", median(written),
                written.size());
    std::printf("page to rows on screen %.2f ms, parse and filter %.2f ms on the fetch's thread (%.2f ms on "
                "the main thread) (medians of %zu)\n",
                median(screens), median(baselines), median(mainBaselines), screens.size());
    std::printf("rows on screen ratio %.3f\n", median(screens) / median(baselines));

    // Typing: each keystroke narrows the list and repaints it.
    const QString typed = QStringLiteral("kamoritonashi");
    double worst = 0;
    for (int key = 0; key < 20; ++key) {
        const QString text = typed.left(key % typed.size() + 1);
        const auto start = Clock::now();
        list->searchBar()->type(key % 7 == 6 ? QString() : text);
        list->tableView()->listView()->viewport()->repaint();
        app.processEvents();
        worst = std::max(worst, millisecondsSince(start));
    }
    std::printf("longest main-thread stall over 20 keystrokes on %lld rows: %.1f ms (under 16)\n",
                static_cast<long long>(list->books().size()), worst);
    stack.reset();
    MyDirectories::setRootDirectory({});
    return 0;
}
