#include "settings/UserDefaultsSteps.h"

#include "files/FilesRemover.h"
#include "files/MyDirectories.h"
#include "foundation/Device.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"

namespace {

QList<int> noPosition()
{
    return {-1, -1};
}

// Two rows as stored; anything else (a hand-edited or damaged file) is no
// position at all.
QList<int> positionFrom(const QVariantList &stored)
{
    if (stored.size() != 2)
        return noPosition();
    QList<int> position;
    for (const QVariant &row : stored) {
        bool ok = false;
        const int value = row.toInt(&ok);
        if (!ok || row.typeId() == QMetaType::QString)
            return noPosition();
        position.append(value);
    }
    return position;
}

} // namespace

QVariantMap defaultUserDefaults(bool isPad)
{
    using namespace SettingsKeys;
    QVariantMap defaults{
        {cropPage, !isPad},
        {portraitPageSize, isPad ? 0.7 : 1.0},
        {autoHideMenu, true},
        {autoLockLandscape, false},
        {enableSwipeToNextPage, false},
        {whiteBackground, false},
        {dimmerAlpha, 0.0},
        {autoSaveToLibrary, false},
        {lastTabVisited, qint64(0)},
        {cleanAppExit, false},
        {downloadsRestoreLocation, qint64(-1)},
        {libraryRestoreLocation, QVariantList{qint64(-1), qint64(-1)}},
        {showDeleteMessage, true},
        {showMangaFoxUpdate, true},
        {showOneMangaUpdate, true},
        {firstVersion1_9_10Launch, true},
        {firstVersionNoVizLaunch, true},
        {mangaFoxBaseURL, QStringLiteral("http://www.mangafox.com/")},
        {mangaReaderBaseURL, QStringLiteral("http://www.mangareader.net/")},
        {mangaHereBaseURL, QStringLiteral("http://www.mangahere.com/")},
        {oneMangaBaseURL, QStringLiteral("http://www.onemanga.com/")},
        {oneMangaMirrorBaseURL, QStringLiteral("http://www.onemanga.me/")},
        {bookShopSearchBaseURL, QStringLiteral("http://www.amazon.com/gp/aw/s/?k=")},
    };
    for (const HelpNoticeKeys &notice : helpNotices) {
        defaults.insert(notice.show, true);
        defaults.insert(notice.viewed, false);
    }
    return defaults;
}

QList<int> loadUserDefaults(MyUserDefaults &defaults)
{
    using namespace SettingsKeys;
    defaults.registerDefaults(defaultUserDefaults(Device::isPad()));
    for (const HelpNoticeKeys &notice : helpNotices)
        defaults.setBool(false, notice.viewed);

    QList<int> booksRestoreLocation = positionFrom(defaults.arrayForKey(libraryRestoreLocation));
    if (!defaults.boolForKey(cleanAppExit)) {
        defaults.setInteger(-1, downloadsRestoreLocation);
        booksRestoreLocation = noPosition();
    }
    // Both flags empty the same directory; once is enough.
    if (defaults.boolForKey(firstVersion1_9_10Launch) || defaults.boolForKey(firstVersionNoVizLaunch))
        cleanCache();
    return booksRestoreLocation;
}

void saveUserDefaults(MyUserDefaults &defaults, int selectedTabIndex, const QList<int> &booksRestoreLocation)
{
    using namespace SettingsKeys;
    defaults.setBool(false, firstVersion1_9_10Launch);
    defaults.setBool(false, firstVersionNoVizLaunch);
    defaults.setInteger(selectedTabIndex, lastTabVisited);
    defaults.setBool(true, cleanAppExit);
    QVariantList position;
    for (int row : booksRestoreLocation)
        position.append(qint64(row));
    defaults.setObject(position, libraryRestoreLocation);
    defaults.synchronize();
}

void cleanCache()
{
    FilesRemover::removeFilesAtPath(MyDirectories::sharedMyDirectories().cacheDirectory(), QString(), true);
}
