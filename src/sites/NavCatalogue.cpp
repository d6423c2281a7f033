#include "sites/NavCatalogue.h"

#include "sites/MangaFoxSections.h"
#include "sites/MangaHereSections.h"
#include "sites/MangaReaderSections.h"
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
        NavSite(fox, fox, foxURL, QStringLiteral("/directory/"), std::make_shared<MangaFoxSections>()),
        NavSite(sourceB, QStringLiteral("Manga Source B"), readerURL, {},
                std::make_shared<MangaReaderSections>()),
        NavSite(sourceC, QStringLiteral("Manga Source C"), hereURL, {},
                std::make_shared<MangaHereSections>()),
        NavSite(fox, QStringLiteral("Recent ") + fox, foxURL, {}),
        NavSite(sourceB, QStringLiteral("Recent Manga Source B"), readerURL, QStringLiteral("/latest")),
        NavSite(sourceC, QStringLiteral("Recent Manga Source C"), hereURL, QStringLiteral("/latest/")),
    };
}
