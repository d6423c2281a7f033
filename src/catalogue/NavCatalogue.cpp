#include "catalogue/NavCatalogue.h"

#include "catalogue/SiteRegistry.h"
#include "sites/SiteConfig.h"

std::vector<NavSite> NavCatalogue::sites()
{
    using Site = SiteConfig::Site;
    const QString fox = SiteConfig::mangaFoxDisplayName();
    const QString foxURL = SiteConfig::baseURL(Site::MangaFox);
    const QString readerURL = SiteConfig::baseURL(Site::MangaReader);
    const QString hereURL = SiteConfig::baseURL(Site::MangaHere);
    const QString sourceB = QStringLiteral("MangaSourceB");
    const QString sourceC = QStringLiteral("MangaSourceC");

    return {
        NavSite({}, QStringLiteral("Favorites"), {}, {}),
        NavSite(fox, fox, foxURL, QStringLiteral("/directory/"), SiteRegistry::sections(Site::MangaFox)),
        NavSite(sourceB, QStringLiteral("Manga Source B"), readerURL, {},
                SiteRegistry::sections(Site::MangaReader)),
        NavSite(sourceC, QStringLiteral("Manga Source C"), hereURL, {},
                SiteRegistry::sections(Site::MangaHere)),
        NavSite(fox, QStringLiteral("Recent ") + fox, foxURL, {}),
        NavSite(sourceB, QStringLiteral("Recent Manga Source B"), readerURL, QStringLiteral("/latest")),
        NavSite(sourceC, QStringLiteral("Recent Manga Source C"), hereURL, QStringLiteral("/latest/")),
    };
}
