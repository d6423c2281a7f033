#include <cmath>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sqlite3.h>

#include "StoreFixture.h"

namespace {

class AppDataTest : public StoreFixture
{
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// The bytes of an SQLite file made by running `sql` on a new database.
QByteArray databaseBytes(const char *sql)
{
    QTemporaryDir scratch;
    const QString path = scratch.filePath(QStringLiteral("db.sqlite"));
    sqlite3 *db = nullptr;
    EXPECT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
    return readAll(path);
}

TEST_F(AppDataTest, FirstStartCreatesOneDownloadsBookAndTheNextStartFindsIt)
{
    QString uuid;
    {
        auto appData = start();
        ASSERT_TRUE(appData->downloadsBook());
        uuid = appData->downloadsBook()->uuid();
        EXPECT_FALSE(appData->managedObjectContext()->hasChanges()) << "the new book is saved at once";
        EXPECT_TRUE(QFileInfo(MyDirectories::sharedMyDirectories().cacheDirectory()).isDir());
    }
    auto appData = start();
    EXPECT_EQ(appData->downloadsBook()->uuid(), uuid);
    const auto books = appData->managedObjectContext()->fetch<Book>(FetchRequest(AppData::BookEntityName));
    ASSERT_EQ(books.size(), 1u);
    EXPECT_EQ(books[0]->title(), AppData::DownloadsBookName);
    EXPECT_EQ(books[0]->rootTitle(), AppData::DownloadsBookName);
    EXPECT_TRUE(alerts->isEmpty());
}

TEST_F(AppDataTest, PageFileNames)
{
    const struct {
        const char *url;
        std::optional<int> number;
        const char *expected; // nullptr: a UUID
    } cases[] = {
        {"http://h/m/12.jpg", 7, "007.jpg"}, {"http://h/m/12.png", 1234, "1234.png"},
        {"http://h/m/12.jpg", 0, "000.jpg"}, {"http://h/m/12.JPG", 7, nullptr},
        {"http://h/m/12.gif", 7, nullptr},   {"http://h/m/12.jpg?token=1", 7, nullptr},
        {"http://h/m.jpg/12", 7, nullptr},   {"http://h/m/12.jpg", std::nullopt, nullptr},
    };
    const QRegularExpression uuid(
        QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
    for (const auto &c : cases) {
        const QString name = AppData::createPageUUIDWithUrlString(QString::fromLatin1(c.url), c.number);
        if (c.expected)
            EXPECT_EQ(name, QString::fromLatin1(c.expected)) << c.url;
        else
            EXPECT_TRUE(uuid.match(name).hasMatch()) << c.url << " gave " << name.toStdString();
    }
}

TEST_F(AppDataTest, CopiedPagesKeepEverythingAndOnlyWholeImagesCount)
{
    auto appData = start();
    auto page = appData->createPageWithUrlString(QStringLiteral("http://h/3.png"), 3, 640, 480);
    page->setLeftBorder(5);
    page->setRightBorder(600);
    page->setIsDownloaded(true);
    page->setErrorString(QStringLiteral("late"));
    page->setIsGray(false);
    auto other = appData->newManagedObjectContext(false);
    auto copy = appData->createPageWithPage(*page, other.get());
    for (const char *key : {"url", "number", "uuid", "width", "height", "leftBorder", "rightBorder",
                            "isDownloaded", "errorString", "isGray"})
        EXPECT_EQ(copy->valueForKey(QString::fromLatin1(key)), page->valueForKey(QString::fromLatin1(key)))
            << key;
    EXPECT_EQ(copy->managedObjectContext(), other.get());

    const double nan = std::nan("");
    const struct {
        bool downloaded;
        double width, height;
        bool good;
    } cases[] = {{true, 640, 480, true}, {false, 640, 480, false}, {true, 0, 480, false},
                 {true, 640, 0, false},  {true, nan, 480, false},  {true, 640, nan, false}};
    for (const auto &c : cases) {
        page->setIsDownloaded(c.downloaded);
        page->setWidth(c.width);
        page->setHeight(c.height);
        EXPECT_EQ(AppData::didDownloadImage(*page), c.good) << c.width << "x" << c.height;
    }
}

TEST_F(AppDataTest, PageFilesAreWrittenWholeIntoTheChapterDirectory)
{
    auto appData = start();
    auto book = appData->createBookWithTitle(QStringLiteral("Title"), QStringLiteral("Site"));
    auto chapter = appData->createChapterWithTitle(QStringLiteral("Ch 1"), Decimal(1), 2, false);
    chapter->setBook(book.get());
    auto page = appData->createPageWithUrlString(QStringLiteral("http://h/1.jpg"), 1, 0, 0);
    page->setChapter(chapter.get());

    const QString path = appData->pageFileName(*page);
    EXPECT_EQ(path, MyDirectories::sharedMyDirectories().imagesDirectory() + u'/' + book->uuid() + u'/' +
                        chapter->uuid() + QStringLiteral("/001.jpg"));
    ASSERT_TRUE(appData->writeData(QByteArray("first"), *page));
    ASSERT_TRUE(appData->writeData(QByteArray("second image"), *page));
    EXPECT_EQ(readAll(path), QByteArray("second image"));
    EXPECT_EQ(QDir(appData->chapterDirectory(*chapter)).entryList(QDir::Files | QDir::Hidden).size(), 1)
        << "no temporary file is left behind";

    // Moving a chapter's files into another chapter keeps their names.
    auto other = appData->createChapterWithTitle(QStringLiteral("Ch 1"), Decimal(1), 2, false);
    other->setBook(book.get());
    ASSERT_TRUE(appData->createChapterDirectory(*other));
    appData->moveDataFromChapter(*chapter, *other);
    EXPECT_EQ(readAll(appData->chapterDirectory(*other) + QStringLiteral("/001.jpg")),
              QByteArray("second image"));
    EXPECT_FALSE(QFileInfo::exists(path));

    // The downloads book's directory is never removed; a library book's is.
    const QString downloadsDirectory = appData->bookDirectory(*appData->downloadsBook());
    ASSERT_TRUE(QDir().mkpath(downloadsDirectory));
    appData->removeBookDirectory(*appData->downloadsBook());
    EXPECT_TRUE(QFileInfo::exists(downloadsDirectory));
    appData->removeBookDirectory(*book);
    EXPECT_FALSE(QFileInfo::exists(appData->bookDirectory(*book)));
    EXPECT_TRUE(alerts->isEmpty());
}

TEST_F(AppDataTest, APageOfAChapterWithoutBookIsRefusedWithAFatalAlert)
{
    auto appData = start();
    auto chapter = appData->createChapterWithTitle(QStringLiteral("Loose"), Decimal(1), 1, false);
    auto page = appData->createPageWithUrlString(QStringLiteral("http://h/1.jpg"), 1, 0, 0);
    page->setChapter(chapter.get());

    EXPECT_FALSE(appData->writeData(QByteArray("x"), *page));
    ASSERT_EQ(alerts->alerts().size(), 1u);
    EXPECT_EQ(alerts->last().title, QStringLiteral("File Error"));
    EXPECT_EQ(alerts->last().message, QStringLiteral("No book for chapter"));
    EXPECT_TRUE(exitStatuses.empty()) << "the program runs on until the alert is dismissed";
    alerts->press(0);
    EXPECT_EQ(exitStatuses, std::vector<int>{-1});
    EXPECT_TRUE(QDir(MyDirectories::sharedMyDirectories().imagesDirectory()).isEmpty());
}

TEST_F(AppDataTest, AnUnusableStoreFileStopsTheProgramAndIsLeftAsItWas)
{
    // A sound store, then the same file with its tables overwritten.
    start().reset();
    QByteArray damaged = readAll(storePath());
    ASSERT_GT(damaged.size(), 8192);
    damaged.replace(4096, damaged.size() - 4096, QByteArray(damaged.size() - 4096, '\x55'));

    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"not a database", QByteArray("These are my notes, not a library.\n").repeated(200)},
        {"damaged tables", damaged},
        {"another program's database",
         databaseBytes("CREATE TABLE Book (id INTEGER PRIMARY KEY, title TEXT);"
                       "CREATE TABLE Invoice (id INTEGER PRIMARY KEY, total REAL);")},
        {"a later version",
         databaseBytes("CREATE TABLE Book (id INTEGER PRIMARY KEY, title TEXT); PRAGMA user_version = 99;")},
        {"a version without tables",
         databaseBytes("CREATE TABLE t (x); DROP TABLE t; PRAGMA user_version = 1;")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        alerts->clear();
        exitStatuses.clear();
        writeAll(storePath(), c.bytes);

        AppData appData;
        EXPECT_FALSE(appData.setup());
        ASSERT_EQ(alerts->alerts().size(), 1u);
        EXPECT_EQ(alerts->last().title, QStringLiteral("Error in saving data"));
        EXPECT_EQ(alerts->last().message, QStringLiteral("Error in request for Downloads Book."));
        alerts->press(0);
        EXPECT_EQ(exitStatuses, std::vector<int>{-1});
        EXPECT_EQ(readAll(storePath()), c.bytes);
        EXPECT_FALSE(QFileInfo::exists(storePath() + QStringLiteral("-wal")));
    }
}

TEST_F(AppDataTest, AStoreReplacedAfterACleanCloseIsCheckedInFullAgain)
{
    // A clean close vouches for the file it left, not for a damaged copy of
    // the same size put in its place, as a restore from a backup would.
    start().reset();
    QByteArray damaged = readAll(storePath());
    ASSERT_GT(damaged.size(), 8192);
    damaged.replace(4096, damaged.size() - 4096, QByteArray(damaged.size() - 4096, '\x55'));
    const QString copy = storePath() + QStringLiteral(".copy");
    writeAll(copy, damaged);
    ASSERT_TRUE(QFile::remove(storePath()));
    ASSERT_TRUE(QFile::rename(copy, storePath()));

    AppData appData;
    EXPECT_FALSE(appData.setup());
    EXPECT_EQ(readAll(storePath()), damaged);
    EXPECT_FALSE(QFileInfo::exists(storePath() + QStringLiteral("-wal")));
    ASSERT_EQ(alerts->alerts().size(), 1u);
    alerts->press(0);
}

} // namespace

namespace {

TEST_F(AppDataTest, AnEmptyFileOrOneWithoutTablesIsANewStore)
{
    const QByteArray files[] = {QByteArray(), databaseBytes("CREATE TABLE t (x); DROP TABLE t;")};
    for (const QByteArray &bytes : files) {
        writeAll(storePath(), bytes);
        start().reset();
        auto appData = start();
        EXPECT_EQ(appData->managedObjectContext()->fetch<Book>(FetchRequest(AppData::BookEntityName)).size(),
                  1u);
        EXPECT_TRUE(alerts->isEmpty());
        appData.reset();
        QFile::remove(storePath());
    }
}

} // namespace
