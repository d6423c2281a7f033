#pragma once

#include <functional>

#include <QString>

#include "ui/kit/ScreenServices.h"

class NavBook;
class NavBooksFetcherQueueWrapper;
class NavSite;
class ViewController;

// What the Internet tab's screens use, handed from screen to screen: the
// application's services, the book-list fetches, the network check, and the
// ways out of the tab that the chapter-list screens provide (the favourites,
// a site's latest releases, a book's chapters). A way out left empty does
// nothing.
// Thread contract: main thread only.
struct NavScreenContext {
    ScreenServices services;
    NavBooksFetcherQueueWrapper *booksFetcher = nullptr;
    // False when the network cannot be reached; unset means reachable.
    std::function<bool()> reachable;

    std::function<void(ViewController &from)> openFavorites;
    std::function<void(ViewController &from, const NavSite &site)> openRecentChapters;
    std::function<void(ViewController &from, const NavBook &book, const QString &rootURLString,
                       const QString &rootTitle)>
        openBook;

    bool isReachable() const { return !reachable || reachable(); }
};
