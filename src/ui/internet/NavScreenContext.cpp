#include "ui/internet/NavScreenContext.h"

#include "sites/NavBook.h"
#include "sites/NavSite.h"
#include "ui/internet/NavChaptersViewController.h"
#include "ui/internet/NavFavoritesViewController.h"
#include "ui/internet/NavRecentChaptersViewController.h"
#include "ui/kit/NavigationController.h"

namespace {

void push(ViewController &from, std::unique_ptr<ViewController> screen)
{
    if (NavigationController *nav = from.navigationController())
        nav->pushViewController(std::move(screen));
}

} // namespace

void NavScreenContext::openChapterScreens()
{
    // The ways out capture the context without them, and give each new
    // screen a copy that has them again; a context holding itself would
    // never be released.
    NavScreenContext base = *this;
    base.openFavorites = {};
    base.openRecentChapters = {};
    base.openBook = {};
    auto wired = [base] {
        NavScreenContext context = base;
        context.openChapterScreens();
        return context;
    };
    openFavorites = [wired](ViewController &from) {
        push(from, std::make_unique<NavFavoritesViewController>(wired()));
    };
    openRecentChapters = [wired](ViewController &from, const NavSite &site) {
        push(from, std::make_unique<NavRecentChaptersViewController>(
                       wired(), site.rootUrl(), site.rootTitle(), site.title(), site.dirUrl()));
    };
    openBook = [wired](ViewController &from, const NavBook &book, const QString &rootURLString,
                       const QString &rootTitle) {
        push(from,
             std::make_unique<NavChaptersViewController>(wired(), book, rootURLString, rootTitle, true));
    };
}
