#include <gtest/gtest.h>

#include "catalogue/NavCatalogue.h"
#include "sites/SiteConfig.h"
#include "settings/MyUserDefaults.h"

namespace {

TEST(Catalogue, EntriesReadTheConfiguredHostsAndOnlyBrowsableSitesHaveSections)
{
    SiteConfig::clearOverrides();
    SiteConfig::setOverride(SiteConfig::Site::MangaReader, QStringLiteral("http://127.0.0.1:9/reader"));
    const auto sites = NavCatalogue::sites();
    SiteConfig::clearOverrides();

    ASSERT_EQ(sites.size(), 7u);
    EXPECT_EQ(sites[2].rootUrl(), u"http://127.0.0.1:9/reader/");
    EXPECT_EQ(sites[4].rootUrl(), sites[1].rootUrl());
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(bool(sites[i].sections()), i >= 1 && i <= 3) << i;
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
