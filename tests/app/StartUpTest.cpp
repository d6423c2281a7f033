#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "AppFixture.h"
#include "foundation/Device.h"
#include "settings/SettingsKeys.h"
#include "store/BooksRequest.h"
#include "store/DownloadsRequest.h"
#include "ui/kit/TabBarController.h"

namespace {

class StartUp : public AppFixture
{
protected:
    std::shared_ptr<Download> addDownload(Run &run, const QString &title, int minutesAgo, bool downloading,
                                          bool queued = false)
    {
        auto download = run.appData->createDownloadWithRootTitle(
            QStringLiteral("MangaFox"), QStringLiteral("Book"), title, QStringLiteral("http://h/1"),
            Decimal(1), QDateTime::currentDateTimeUtc().addSecs(-60 * minutesAgo), 10);
        download->setBook(run.appData->downloadsBook().get());
        download->setIsDownloading(downloading);
        download->setIsQueued(queued);
        return download;
    }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }
};

TEST_F(StartUp, FirstStartOnAnEmptyRoot)
{
    auto run = start();
    const MyDirectories &dirs = MyDirectories::sharedMyDirectories();
    for (const QString &dir :
         {dirs.homeDirectory(), dirs.libraryDirectory(), dirs.appleCachesDirectory(),
          dirs.newApplicationDirectory(), dirs.documentDirectory(), dirs.cacheDirectory(),
          dirs.preferencesDirectory(), dirs.temporaryDirectory()}) {
        // Their mode is MyDirectories' concern.
        EXPECT_TRUE(QFileInfo(dir).isDir()) << dir.toStdString();
    }

    const auto books =
        run->appData->managedObjectContext()->fetch<Book>(FetchRequest(AppData::BookEntityName));
    ASSERT_EQ(books.size(), 1u);
    EXPECT_EQ(books[0]->title(), AppData::DownloadsBookName);
    EXPECT_EQ(run->delegate->tabBarController()->selectedIndex(), 0);
    // The later-built parts are asked in start-up order; nothing is restored.
    EXPECT_EQ(run->log, QStringList({QStringLiteral("progressViews")}));
    EXPECT_FALSE(run->parts->doResumeDownload());
    EXPECT_EQ(run->delegate->booksRestoreLocation(), QList<int>({-1, -1}));
    EXPECT_FALSE(settingsOnDisk()->boolForKey(SettingsKeys::cleanAppExit));
    EXPECT_TRUE(alerts->isEmpty());
}

TEST_F(StartUp, AfterAForcedStopTheNewestInterruptedDownloadIsOfferedAndNothingRestored)
{
    {
        auto run = start();
        addDownload(*run, QStringLiteral("older"), 10, true);
        addDownload(*run, QStringLiteral("newest"), 1, true);
        addDownload(*run, QStringLiteral("waiting"), 5, false, true);
        ASSERT_FALSE(run->appData->save());
        // A clean save on the library tab, then more moving about and a kill.
        run->delegate->tabBarController()->setSelectedIndex(MangaAppDelegate::LibraryTab);
        run->delegate->booksRestoreLocation() = {2, 3};
        run->delegate->applicationDidEnterBackground();
        EXPECT_TRUE(settingsOnDisk()->boolForKey(SettingsKeys::cleanAppExit));
        // Back in use, the run counts as unclean again until the next save.
        run->delegate->applicationWillEnterForeground();
        EXPECT_FALSE(settingsOnDisk()->boolForKey(SettingsKeys::cleanAppExit));
        run->delegate->tabBarController()->setSelectedIndex(MangaAppDelegate::ImportTab);
        // The delegate of a killed run never hears another event.
    }
    auto run = start();
    EXPECT_FALSE(run->log.join(u' ').contains(u"library"));
    EXPECT_EQ(run->delegate->booksRestoreLocation(), QList<int>({-1, -1}));
    EXPECT_EQ(run->delegate->tabBarController()->selectedIndex(), MangaAppDelegate::LibraryTab);

    ASSERT_TRUE(run->parts->doResumeDownload());
    ASSERT_TRUE(run->parts->downloadToResumeFromAlert());
    EXPECT_EQ(run->parts->downloadToResumeFromAlert()->title(), QStringLiteral("newest"));
    // The download that waited waits again, and the badge counts it.
    EXPECT_EQ(run->delegate->downloadsBadgeValue(), QStringLiteral("1"));
    AppData fresh; // what the file holds: the flags were cleared and saved
    for (const auto &download : fresh.managedObjectContext()->fetch<Download>(DownloadsRequest()))
        EXPECT_FALSE(download->isDownloading()) << download->title().toStdString();
}

TEST_F(StartUp, CleanQuitRestoresTabAndPosition)
{
    struct Case {
        int tab;
        int downloadsRow;
        QList<int> library;
        const char *restored; // nullptr: nothing
    } cases[] = {
        {MangaAppDelegate::DownloadsTab, 4, {-1, -1}, "downloads 4"},
        {MangaAppDelegate::DownloadsTab, -1, {-1, -1}, nullptr},
        {MangaAppDelegate::LibraryTab, 4, {3, -1}, "library 3 -1"},
        {MangaAppDelegate::LibraryTab, -1, {3, 7}, "library 3 7"},
        {MangaAppDelegate::LibraryTab, -1, {-1, 7}, nullptr},
        {MangaAppDelegate::SettingsTab, 4, {3, 7}, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.tab);
        {
            auto run = start();
            run->delegate->tabBarController()->setSelectedIndex(c.tab);
            run->defaults->setInteger(c.downloadsRow, SettingsKeys::downloadsRestoreLocation);
            run->delegate->booksRestoreLocation() = c.library;
            run->delegate->applicationWillTerminate();
        }
        auto run = start();
        EXPECT_EQ(run->delegate->tabBarController()->selectedIndex(), c.tab);
        QStringList restores = run->log.filter(QStringLiteral(" "));
        EXPECT_EQ(restores, c.restored ? QStringList{QString::fromLatin1(c.restored)} : QStringList());
        run->delegate->applicationWillTerminate();
    }
}

TEST_F(StartUp, MigrationMovesOldDataOnlyWhereNothingIsYet)
{
    const MyDirectories &dirs = MyDirectories::sharedMyDirectories();
    const QString current = dirs.newApplicationDirectory();
    struct Case {
        const char *name;
        bool oldestExists;
        bool documents;   // the documents folder holds old data
        bool oldest;      // the oldest data directory holds old data
        bool preIOS5;     // the data directory of old systems holds old data
        bool current;     // the current data directory already holds data
        const char *kept; // what the current directory ends up holding
    } cases[] = {
        {"documents when there is no oldest directory", false, true, false, false, false, "documents"},
        {"documents skipped once the oldest directory exists", true, true, false, false, false, "<none>"},
        {"oldest directory", true, true, true, false, false, "oldest"},
        {"pre-5.0 data directory", false, false, false, true, false, "pre5"},
        {"names already there stay", true, false, true, true, true, "current"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(dirs.homeDirectory()).removeRecursively();
        const QString name = QStringLiteral("/toRemovePaths");
        if (c.oldestExists)
            QDir().mkpath(dirs.oldApplicationDirectory());
        if (c.documents)
            writeFile(dirs.documentDirectory() + name, "documents");
        if (c.oldest)
            writeFile(dirs.oldApplicationDirectory() + name, "oldest");
        if (c.preIOS5)
            writeFile(dirs.preIOS5ApplicationDirectory() + name, "pre5");
        if (c.current)
            writeFile(current + name, "current");

        auto run = start();
        EXPECT_EQ(readFile(current + name), QByteArray(c.kept));
        if (c.current) { // the sources were left alone
            EXPECT_EQ(readFile(dirs.oldApplicationDirectory() + name), QByteArray("oldest"));
        }
        if (c.documents && c.oldestExists) {
            EXPECT_EQ(readFile(dirs.documentDirectory() + name), QByteArray("documents"));
        }
    }
}

TEST_F(StartUp, MigrationMovesTheStoreTogetherWithItsLog)
{
    // A store copied while open keeps its latest save only in the log.
    const MyDirectories &dirs = MyDirectories::sharedMyDirectories();
    const QString store = QStringLiteral("/") + AppData::CoreDataName;
    const QString snapshot = root.path() + QStringLiteral("/snapshot");
    QDir().mkpath(snapshot);
    Device::setSystemVersion(4.3); // the data lives under the caches directory
    {
        auto run = start();
        run->appData->createBookWithTitle(QStringLiteral("Kept"), QStringLiteral("MangaFox"));
        ASSERT_FALSE(run->appData->save());
        const QString data = dirs.newApplicationDirectory();
        for (const char *suffix : {"", "-wal", "-shm"})
            ASSERT_TRUE(
                QFile::copy(data + store + QLatin1String(suffix), snapshot + store + QLatin1String(suffix)));
        run->delegate->applicationWillTerminate();
    }
    QDir(dirs.homeDirectory()).removeRecursively();
    QDir().mkpath(dirs.preIOS5ApplicationDirectory());
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::copy(snapshot + store + QLatin1String(suffix),
                    dirs.preIOS5ApplicationDirectory() + store + QLatin1String(suffix));

    Device::setSystemVersion(5.0);
    auto run = start();
    const auto books = run->appData->managedObjectContext()->fetch<Book>(BooksRequest());
    ASSERT_EQ(books.size(), 1u);
    EXPECT_EQ(books.front()->title(), QStringLiteral("Kept"));
    run->delegate->applicationWillTerminate();
}

TEST_F(StartUp, UnopenableStoreStopsStartUpAtItsFatalAlert)
{
    const MyDirectories &dirs = MyDirectories::sharedMyDirectories();
    dirs.createDirectories();
    QFile store(dirs.newApplicationDirectory() + QStringLiteral("/") + AppData::CoreDataName);
    ASSERT_TRUE(store.open(QIODevice::WriteOnly));
    store.write(QByteArray(4096, 'x'));
    store.close();

    AppOptions options;
    options.root = root.path();
    AppData appData;
    MyUserDefaults defaults;
    MangaAppDelegate delegate(options);
    delegate.setAppData(&appData);
    delegate.setUserDefaults(&defaults);
    EXPECT_FALSE(delegate.applicationDidFinishLaunching());
    EXPECT_EQ(delegate.window(), nullptr);
    ASSERT_FALSE(alerts->isEmpty());
    alerts->press(0);
    EXPECT_FALSE(exitStatuses.empty());
}

} // namespace

namespace {

TEST_F(StartUp, ASecondProgramOnTheSameHomeTreeRefusesAndTouchesNothing)
{
    auto first = start();
    const MyDirectories &dirs = MyDirectories::sharedMyDirectories();
    const QString settingsPath = dirs.preferencesDirectory() + QStringLiteral("/userDefaults");
    const QByteArray settings = readFile(settingsPath);
    // Something the start-up migration would move into the data directory.
    const QString waiting = dirs.documentDirectory() + QStringLiteral("/toRemovePaths");
    writeFile(waiting, "waiting");

    AppOptions options;
    options.root = root.path();
    AppData appData;
    MyUserDefaults defaults;
    MangaAppDelegate second(options);
    second.setAppData(&appData);
    second.setUserDefaults(&defaults);
    EXPECT_FALSE(second.applicationDidFinishLaunching());
    EXPECT_EQ(second.window(), nullptr);
    ASSERT_EQ(alerts->alerts().size(), 1u);
    EXPECT_EQ(alerts->last().title, QStringLiteral("Yomora is already using ") + dirs.homeDirectory());
    EXPECT_EQ(readFile(settingsPath), settings);
    EXPECT_TRUE(QFileInfo::exists(waiting));
    alerts->press(0);
    EXPECT_FALSE(exitStatuses.empty());
}

} // namespace
