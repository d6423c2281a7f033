#include <gtest/gtest.h>

#include "sites/mangafox/MangaFoxSections.h"
#include "sites/mangahere/MangaHereSections.h"
#include "sites/mangareader/MangaReaderSections.h"
#include "catalogue/NavCatalogue.h"
#include "sites/SiteConfig.h"
#include "settings/MyUserDefaults.h"

namespace {

struct TableShape {
    const char *name;
    std::shared_ptr<NavSections> table;
    size_t rows;
    int searchRow;  // 1-based, 0 = none
    int indexedRow; // 1-based, 0 = none
};

TEST(SectionTables, FlagsSitOnTheRightRows)
{
    const TableShape shapes[] = {
        {"MangaFox", std::make_shared<MangaFoxSections>(), 37, 1, 0},
        {"MangaReader", std::make_shared<MangaReaderSections>(), 39, 0, 1},
        {"MangaHere", std::make_shared<MangaHereSections>(), 35, 1, 2},
    };
    for (const auto &shape : shapes) {
        SCOPED_TRACE(shape.name);
        const auto &rows = shape.table->sections();
        ASSERT_EQ(rows.size(), shape.rows);
        for (size_t i = 0; i < rows.size(); ++i) {
            const int n = int(i) + 1;
            const bool special = n == shape.searchRow || n == shape.indexedRow;
            EXPECT_EQ(rows[i].useBooksSearch, n == shape.searchRow) << n;
            EXPECT_EQ(rows[i].useSectionKey, n == shape.indexedRow) << n;
            EXPECT_EQ(rows[i].doSectionFilter, !special) << n;
            EXPECT_FALSE(rows[i].labelKey.isEmpty());
        }
    }
}

TEST(SectionTables, PathsKeepTheSitesOwnSpelling)
{
    MangaFoxSections fox;
    MangaReaderSections reader;
    MangaHereSections here;
    auto find = [](const NavSections &t, const char *label) {
        for (const auto &s : t.sections())
            if (s.labelKey == QLatin1String(label))
                return s.urlKey;
        return QStringLiteral("<missing>");
    };
    EXPECT_EQ(find(fox, "Search All"), u"");
    EXPECT_EQ(find(fox, "Popular"), u"");
    EXPECT_EQ(find(fox, "Popular Doujinshi"), u"/doujishi/");
    EXPECT_EQ(find(fox, "Popular Shounenai"), u"/shounen--ai/");
    EXPECT_EQ(find(fox, "Popular Webtoons"), u"/webtoons/");
    EXPECT_EQ(find(reader, "All"), u"/alphabetical");
    EXPECT_EQ(find(reader, "Popular Vampire"), u"/popular/vampire");
    EXPECT_EQ(find(here, "Popular Comedy"), u"/comedy//");
    EXPECT_EQ(find(here, "Popular Gender Bender"), u"/gender_bender/");
    EXPECT_EQ(fox.sections().back().labelKey, u"Popular Yuri");
    EXPECT_EQ(here.sections().back().urlKey, u"/yuri/");
}

TEST(Catalogue, SevenRowsInOrderWithConfiguredHosts)
{
    SiteConfig::clearOverrides();
    SiteConfig::setOverride(SiteConfig::Site::MangaReader, QStringLiteral("http://127.0.0.1:9/reader"));
    const auto sites = NavCatalogue::sites();
    SiteConfig::clearOverrides();

    ASSERT_EQ(sites.size(), 7u);
    EXPECT_EQ(sites[0].title(), u"Favorites");
    EXPECT_TRUE(sites[0].rootTitle().isEmpty() && sites[0].rootUrl().isEmpty() && !sites[0].sections());

    const QString fox = SiteConfig::mangaFoxDisplayName();
    EXPECT_EQ(sites[1].rootTitle(), fox);
    EXPECT_EQ(sites[1].title(), fox);
    EXPECT_EQ(sites[1].dirUrl(), u"/directory/");
    EXPECT_EQ(sites[1].sections()->sections().size(), 37u);
    EXPECT_EQ(sites[2].rootTitle(), u"MangaSourceB");
    EXPECT_EQ(sites[2].rootUrl(), u"http://127.0.0.1:9/reader/");
    EXPECT_EQ(sites[3].title(), u"Manga Source C");
    EXPECT_EQ(sites[4].title(), QStringLiteral("Recent ") + fox);
    EXPECT_EQ(sites[4].rootUrl(), sites[1].rootUrl());
    EXPECT_EQ(sites[5].dirUrl(), u"/latest");
    EXPECT_EQ(sites[6].dirUrl(), u"/latest/");
    for (int i = 4; i < 7; ++i)
        EXPECT_FALSE(sites[i].sections());
}

TEST(SiteConfigTest, SiteOptionsOverrideAndClassifyAddresses)
{
    SiteConfig::clearOverrides();
    QStringList args{QStringLiteral("books"), QStringLiteral("--site"),
                     QStringLiteral("mangafox=http://127.0.0.1:5/fx"),
                     QStringLiteral("--site=onemanga-mirror=http://m.example/"), QStringLiteral("URL")};
    EXPECT_FALSE(SiteConfig::takeSiteOptions(args));
    EXPECT_EQ(args, (QStringList{QStringLiteral("books"), QStringLiteral("URL")}));
    EXPECT_EQ(SiteConfig::baseURL(SiteConfig::Site::MangaFox), u"http://127.0.0.1:5/fx/");
    EXPECT_EQ(SiteConfig::baseURL(SiteConfig::Site::OneMangaMirror), u"http://m.example/");

    // Site words win, in their fixed order; a configured host names its site.
    EXPECT_EQ(SiteConfig::siteKeyForURL(QStringLiteral("http://www.MangaHere.com/x/")), u"mangahere");
    EXPECT_EQ(SiteConfig::siteKeyForURL(QStringLiteral("http://onemanga.com/mangafox/")), u"onemanga");
    EXPECT_EQ(SiteConfig::siteKeyForURL(QStringLiteral("http://127.0.0.1:5/fx/directory/")), u"mangafox");
    EXPECT_EQ(SiteConfig::siteKeyForURL(QStringLiteral("http://m.example/bleach/1/")), u"onemanga");
    EXPECT_TRUE(SiteConfig::siteKeyForURL(QStringLiteral("http://127.0.0.1:6/fx/")).isEmpty());

    for (const char *bad : {"nosuch=http://x/", "mangafox", "mangahere="}) {
        QStringList a{QStringLiteral("--site"), QString::fromLatin1(bad)};
        EXPECT_TRUE(SiteConfig::takeSiteOptions(a)) << bad;
    }
    SiteConfig::clearOverrides();
    EXPECT_EQ(SiteConfig::baseURL(SiteConfig::Site::MangaFox),
              SiteConfig::defaultBaseURL(SiteConfig::Site::MangaFox));
}

TEST(SiteConfigTest, SettingsThenOverridesChooseTheHost)
{
    using Site = SiteConfig::Site;
    SiteConfig::clearOverrides();
    auto &defaults = MyUserDefaults::sharedMyUserDefaults();
    defaults.setObject(QStringLiteral("http://mirror.example"), SiteConfig::settingsKey(Site::MangaHere));
    EXPECT_EQ(SiteConfig::baseURL(Site::MangaHere), u"http://mirror.example/");
    SiteConfig::setOverride(Site::MangaHere, QStringLiteral("http://127.0.0.1:7/"));
    EXPECT_EQ(SiteConfig::baseURL(Site::MangaHere), u"http://127.0.0.1:7/");
    SiteConfig::clearOverrides();
    defaults.removeObjectForKey(SiteConfig::settingsKey(Site::MangaHere));
    EXPECT_EQ(SiteConfig::baseURL(Site::MangaHere), SiteConfig::defaultBaseURL(Site::MangaHere));
}

} // namespace
