#pragma once

#include <functional>
#include <memory>

#include <QStringList>

#include "sites/NavBaseChaptersFetcher.h"
#include "sites/NavBook.h"

class RecentChaptersParserDelegate;

class AppData;

// Fetches a site's latest-releases page into four parallel lists: element i
// of chapters, books, dates and labels describe the same release. Licensed
// titles are dropped, except the user's favourites.
// Thread contract as NavBaseChaptersFetcher. The favourites are read on the
// fetch's own thread through a store context of its own, never through the
// main thread's shared context.
class NavRecentChaptersFetcher : public NavBaseChaptersFetcher
{
public:
    using NavBaseChaptersFetcher::NavBaseChaptersFetcher;
    using FavoriteTitlesProvider = std::function<QStringList()>;

    // The titles of the stored favourites, read through a new context on the
    // store's coordinator. Any thread.
    static QStringList favoriteTitles(AppData &appData);
    // Replaces where the filter learns the favourites' titles (by default
    // the program's store, as above); tools and tests that must not open a
    // store install their own. Called on the fetch's thread. An empty
    // function restores the default. Any thread.
    static void setFavoriteTitlesProvider(FavoriteTitlesProvider provider);

    const QList<NavBook> &books() const { return books_; }
    const QStringList &dates() const { return dates_; }
    const QStringList &labels() const { return labels_; }

    // True when there is at least one release and the four lists are parallel.
    bool checkResults() const;
    void filterLicensed() override;

protected:
    // Parses htmlString with the site parser; fails with "No chapters found"
    // unless checkResults holds.
    bool goWithParser(RecentChaptersParserDelegate &parser);

    std::mutex &finishedLock() override;
    std::mutex &failedLock() override;

    QList<NavBook> books_;
    QStringList dates_;
    QStringList labels_;
};
