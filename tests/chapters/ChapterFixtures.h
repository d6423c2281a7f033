#pragma once

#include <memory>

#include <QFile>
#include <QString>

#include "catalogue/SiteRegistry.h"
#include "sites/NavChaptersFetcher.h"
#include "sites/NavRecentChaptersFetcher.h"

// Fixture pages live in tests/data/chapters/<site>/.
inline QString chapterFixture(const QString &relativePath)
{
    QFile file(QStringLiteral(YOMORA_TEST_DATA_DIR "/chapters/") + relativePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

inline QString siteAddress(const QString &site)
{
    return QStringLiteral("http://www.%1.com/").arg(site);
}

// Runs the site's book-page reading over a page already in hand.
inline std::shared_ptr<NavChaptersFetcher> readBookPage(const QString &site, const QString &html)
{
    auto fetcher = SiteRegistry::navChaptersFetcherWithURLString(siteAddress(site), nullptr);
    fetcher->readPage(html);
    return fetcher;
}

// Keeps the latest-release filter away from the program's store: the
// favourites are the given titles while the guard lives.
class FavoriteTitlesGuard
{
public:
    explicit FavoriteTitlesGuard(QStringList titles = {})
    {
        NavRecentChaptersFetcher::setFavoriteTitlesProvider([titles] { return titles; });
    }
    ~FavoriteTitlesGuard() { NavRecentChaptersFetcher::setFavoriteTitlesProvider({}); }
    FavoriteTitlesGuard(const FavoriteTitlesGuard &) = delete;
    FavoriteTitlesGuard &operator=(const FavoriteTitlesGuard &) = delete;
};

inline std::shared_ptr<NavRecentChaptersFetcher> readLatestPage(const QString &site, const QString &html,
                                                                const QStringList &favorites = {})
{
    FavoriteTitlesGuard guard(favorites);
    auto fetcher = SiteRegistry::navRecentChaptersFetcherWithURLString(siteAddress(site), nullptr);
    fetcher->readPage(html);
    return fetcher;
}

inline QString numberText(const NavChapter &chapter)
{
    return chapter.number() ? chapter.number()->toString() : QStringLiteral("nil");
}
