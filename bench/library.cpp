// The library screens, in the phone layout, offscreen: what opening them
// costs as the library grows. Prints two ratios, each bound at 1.5:
// - books: the Library tab opened to its first paint with 2,000 books
//   (20,000 chapters in the store) against 20 books (200 chapters);
// - chapters: a book of 500 chapters opened to its first paint against a
//   book of 5 chapters, in the same store.
// A first paint is the window rendered once everything posted meanwhile
// (layouts) has run. Each figure is the median of several openings. The
// Library tab is opened again after another tab, as a user comes back to it:
// it shows the list it showed last and brings it up to date once painted.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include <QTemporaryDir>

#include "BenchApp.h"
#include "BenchLibrary.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TableView.h"
#include "ui/library/BooksViewController.h"

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Median milliseconds of `open` followed by a first paint; `close` (untimed)
// undoes it between runs.
double timeOpening(QWidget *window, int runs, const std::function<void()> &open,
                   const std::function<void()> &close)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        close();
        BenchApp::paint(window);
        const auto start = Clock::now();
        open();
        BenchApp::paint(window);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    close();
    return median(times);
}

int rowOfBook(BooksViewController *books, const QString &title)
{
    const auto &all = books->books();
    for (std::size_t row = 0; row < all.size(); ++row) {
        if (all[row]->title() == title)
            return int(row);
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    auto application = BenchApp::application(argc, argv);
    QTemporaryDir root;
    BenchApp::Run run;
    if (!run.launch(root.path()))
        return 1;
    MangaAppDelegate &app = *run.app;
    AppData &appData = run.appData;
    MyUserDefaults &defaults = run.defaults;
    defaults.setBool(true, SettingsKeys::showChaptersHelpViewer);
    app.window()->show();
    QWidget *window = app.window();
    TabBarController *tabs = app.tabBarController();
    constexpr int Runs = 31;

    auto openLibrary = [&] { tabs->setSelectedIndex(MangaAppDelegate::LibraryTab); };
    auto leaveLibrary = [&] { tabs->setSelectedIndex(MangaAppDelegate::SettingsTab); };

    BenchLibrary::addBooks(appData, 0, 20, 10);
    appData.save();
    const double smallLibrary = timeOpening(window, Runs, openLibrary, leaveLibrary);
    BenchLibrary::addBooks(appData, 20, 1980, 10);
    appData.save();
    const double largeLibrary = timeOpening(window, Runs, openLibrary, leaveLibrary);
    const double booksRatio = largeLibrary / smallLibrary;
    std::printf("Library tab: 20 books %.2f ms, 2000 books %.2f ms\n", smallLibrary, largeLibrary);
    std::printf("books ratio %.2f\n", booksRatio);

    // Two more books, one short and one long, in the same large store.
    auto shortBook = appData.createBookWithTitle(QStringLiteral("Short book"), QStringLiteral("Site"));
    BenchLibrary::addChapters(appData, *shortBook, 5);
    auto longBook = appData.createBookWithTitle(QStringLiteral("Long book"), QStringLiteral("Site"));
    BenchLibrary::addChapters(appData, *longBook, 500);
    appData.save();
    openLibrary();
    BooksViewController *books = app.booksViewController();
    NavigationController *nav = app.booksNavigationController();
    auto openBook = [&](const QString &title) {
        return [&, title] { books->pushChaptersForRow(rowOfBook(books, title)); };
    };
    auto back = [&] { nav->popToRootViewController(); };
    // Alternately, so that load from elsewhere on the machine falls on both alike.
    std::vector<double> shortTimes, longTimes;
    for (int i = 0; i < Runs; ++i) {
        shortTimes.push_back(timeOpening(window, 1, openBook(QStringLiteral("Short book")), back));
        longTimes.push_back(timeOpening(window, 1, openBook(QStringLiteral("Long book")), back));
    }
    const double shortChapters = median(shortTimes);
    const double longChapters = median(longTimes);
    const double chaptersRatio = longChapters / shortChapters;
    std::printf("Chapters: 5 chapters %.2f ms, 500 chapters %.2f ms\n", shortChapters, longChapters);
    std::printf("chapters ratio %.2f\n", chaptersRatio);

    app.window()->hide();
    return booksRatio <= 1.5 && chaptersRatio <= 1.5 ? 0 : 1;
}
