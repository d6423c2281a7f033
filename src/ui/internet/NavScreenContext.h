#pragma once

#include <functional>

#include <QString>

#include "ui/kit/ScreenServices.h"

class DeducerFetcher;
class NavBook;
class NavBooksFetcherQueueWrapper;
class NavChaptersFetcherQueueWrapper;
class NavRecentChaptersFetcherQueueWrapper;
class NavSite;
class ViewController;

// What the Internet tab's screens use, handed from screen to screen: the
// application's services, the catalogue's fetches, the downloads' entry, the
// network check, and the ways out of the tab's browsing screens into the
// chapter-list screens (the favourites, a site's latest releases, a book's
// chapters). A way out left empty does nothing.
// Thread contract: main thread only.
struct NavScreenContext {
    ScreenServices services;
    NavBooksFetcherQueueWrapper *booksFetcher = nullptr;
    NavChaptersFetcherQueueWrapper *chaptersFetcher = nullptr;
    NavRecentChaptersFetcherQueueWrapper *recentChaptersFetcher = nullptr;
    DeducerFetcher *deducerFetcher = nullptr;
    // False when the network cannot be reached; unset means reachable.
    std::function<bool()> reachable;
    // Whether the wait queue is full; unset asks the deducer fetcher.
    std::function<bool()> waitQueueIsFull;

    std::function<void(ViewController &from)> openFavorites;
    std::function<void(ViewController &from, const NavSite &site)> openRecentChapters;
    std::function<void(ViewController &from, const NavBook &book, const QString &rootURLString,
                       const QString &rootTitle)>
        openBook;

    bool isReachable() const { return !reachable || reachable(); }

    // Points the three ways out at the chapter-list screens, pushed on the
    // navigation stack of the screen they are opened from; each screen is
    // given this context, so it can go on from there.
    void openChapterScreens();
};
