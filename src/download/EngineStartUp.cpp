#include "download/EngineStartUp.h"

#include <QFileInfo>

#include "download/DeducerFetcher.h"
#include "download/DownloadManager.h"
#include "download/DownloadMover.h"
#include "download/DownloadServices.h"
#include "download/LibraryQueues.h"
#include "files/HomeTreeLock.h"
#include "files/IEMigrator.h"
#include "files/MyDirectories.h"
#include "settings/MyUserDefaults.h"
#include "store/AppData.h"
#include "store/DownloadsRequest.h"

QString EngineStartUp::downloadToResumeKey()
{
    return QStringLiteral("downloadToResume");
}

EngineStartUp::Result EngineStartUp::start(DownloadManager &manager, const QString &root, ResumeOffer offer)
{
    Result result;
    MyDirectories::setRootDirectory(root);
    MyDirectories &dirs = MyDirectories::sharedMyDirectories();
    // Before anything reads or moves a file of the tree: another program on
    // it would lose this one's saves or have its own lost.
    QString lockError;
    result.lock = HomeTreeLock::lockHomeDirectory(dirs.homeDirectory(), &lockError);
    if (!result.lock) {
        result.error = Error{ErrorDomain, TreeInUse, lockError};
        return result;
    }
    dirs.createDirectories();
    migrate();

    DownloadServices &services = manager.services();
    services.userDefaults().setFilename(dirs.preferencesDirectory() + QStringLiteral("/userDefaults"));
    AppData &appData = services.appData();
    if (!appData.setup()) {
        result.lock.reset();
        result.error = Error{ErrorDomain, StoreUnusable, QStringLiteral("the store cannot be opened")};
        return result;
    }
    // Before anything reads the library's files: a save of a download that a
    // crash cut short is finished or undone.
    DownloadMover::recoverInterruptedMoves(*appData.managedObjectContext());
    LibraryQueues::create();
    manager.deducerFetcher().reconstructWaitQueue();
    result.downloadToResume = settleInterruptedDownloads(manager, offer);
    return result;
}

void EngineStartUp::migrate()
{
    const MyDirectories &dirs = MyDirectories::sharedMyDirectories();
    auto migrateFrom = [](const QString &source, const QString &destination) {
        const MyDirectories &dirs = MyDirectories::sharedMyDirectories();
        QStringList names = {dirs.cacheBaseName(), AppData::CoreDataName, dirs.imagesBaseName(),
                             QStringLiteral("toRemovePaths")};
        // The store keeps recent saves in its write-ahead log until a
        // checkpoint, so the log and its index travel with the store file,
        // and only with it: a log laid beside another store would be
        // replayed onto the wrong data.
        const QString store = AppData::CoreDataName;
        if (QFileInfo::exists(source + u'/' + store) && !QFileInfo::exists(destination + u'/' + store))
            names << store + QStringLiteral("-wal") << store + QStringLiteral("-shm");
        // A failed move leaves that entry where it was; whatever then misses
        // reports its own error later.
        IEMigrator().migrateBaseNames(names, source, destination);
    };
    // The documents folder held the data only before the oldest data
    // directory existed; once that exists, the documents folder is the user's.
    if (!QFileInfo::exists(dirs.oldApplicationDirectory()))
        migrateFrom(dirs.documentDirectory(), dirs.newApplicationDirectory());
    migrateFrom(dirs.oldApplicationDirectory(), dirs.newApplicationDirectory());
    if (IsIOS5())
        migrateFrom(dirs.preIOS5ApplicationDirectory(), dirs.postIOS5ApplicationDirectory());
}

std::shared_ptr<Download> EngineStartUp::settleInterruptedDownloads(DownloadManager &manager,
                                                                    ResumeOffer offer)
{
    MyUserDefaults &defaults = manager.services().userDefaults();
    // Only the newest interrupted download is offered.
    if (const auto newest = manager.deducerFetcher().unsetIsDownloading()) {
        defaults.setObject(newest->uuid(), downloadToResumeKey());
        defaults.synchronize();
    }
    if (offer == ResumeOffer::Keep)
        return nullptr;
    const QString uuid = defaults.stringForKey(downloadToResumeKey());
    if (uuid.isEmpty())
        return nullptr;
    defaults.removeObjectForKey(downloadToResumeKey());
    defaults.synchronize();
    // The download may have been removed, saved, finished or queued again
    // by a program that could not offer it.
    for (const auto &download :
         manager.services().appData().managedObjectContext()->fetch<Download>(DownloadsRequest())) {
        if (download->uuid() == uuid)
            return download->isComplete() || download->isQueued() ? nullptr : download;
    }
    return nullptr;
}
