#include <sqlite3.h>

#include "StoreFixture.h"

namespace {

class MigrationTest : public StoreFixture
{
};

int userVersion(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &s, nullptr);
    const int version = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int(s, 0) : -1;
    sqlite3_finalize(s);
    sqlite3_close(db);
    return version;
}

// A library written before pages had margins, chapters a reading position
// and download errors, and books a last chapter read; without favourites.
TEST_F(MigrationTest, AnOlderStoreGainsTheNewAttributesAndKeepsItsRecords)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(storePath().toUtf8().constData(), &db), SQLITE_OK);
    const char *older =
        "CREATE TABLE Book (id INTEGER PRIMARY KEY, title TEXT, rootTitle TEXT, uuid TEXT);"
        "CREATE TABLE Chapter (id INTEGER PRIMARY KEY, entity TEXT NOT NULL DEFAULT 'Chapter', book INTEGER,"
        " title TEXT, number TEXT, expectedNumberOfPages INTEGER, isComplete INTEGER, uuid TEXT, rootTitle "
        "TEXT,"
        " bookTitle TEXT, firstPageURL TEXT, date INTEGER, isQueued INTEGER, isDownloading INTEGER);"
        "CREATE TABLE Page (id INTEGER PRIMARY KEY, chapter INTEGER, number INTEGER, url TEXT, uuid TEXT,"
        " width REAL, height REAL, isDownloaded INTEGER, errorString TEXT);"
        "INSERT INTO Book VALUES (1, 'Downloads', 'Downloads', 'D-UUID');"
        "INSERT INTO Book VALUES (2, 'Old Manga', 'Site', 'B-UUID');"
        "INSERT INTO Chapter (id, entity, book, title, number, expectedNumberOfPages, isComplete, uuid)"
        " VALUES (7, 'Chapter', 2, 'Ch 12.5', '12.5', 1, 1, 'C-UUID');"
        "INSERT INTO Chapter (id, entity, book, title, number, uuid, bookTitle, isQueued)"
        " VALUES (8, 'Download', 1, 'Ch 13', '13', 'X-UUID', 'Old Manga', 1);"
        "INSERT INTO Page VALUES (3, 7, 1, 'http://h/1.jpg', '001.jpg', 800, 1200, 1, NULL);";
    ASSERT_EQ(sqlite3_exec(db, older, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    {
        auto appData = start();
        EXPECT_EQ(appData->downloadsBook()->uuid(), QStringLiteral("D-UUID"));
        auto *context = appData->managedObjectContext();
        auto chapters = context->fetch<Chapter>(
            FetchRequest(AppData::ChapterEntityName, {}, {SortDescriptor{QStringLiteral("number")}}));
        ASSERT_EQ(chapters.size(), 2u);
        EXPECT_EQ(chapters[0]->lastPageRead(), -1) << "old chapters read as never opened";
        EXPECT_EQ(chapters[0]->book()->title(), QStringLiteral("Old Manga"));
        EXPECT_EQ(chapters[0]->number(), Decimal::fromString(u"12.5"));
        auto download = std::dynamic_pointer_cast<Download>(chapters[1]);
        ASSERT_TRUE(download);
        EXPECT_TRUE(download->isQueued());
        EXPECT_TRUE(download->nextChapterURL().isNull());

        auto pages = chapters[0]->pages();
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(pages[0]->width(), 800);
        pages[0]->setLeftBorder(12);
        pages[0]->setRightBorder(790);
        chapters[0]->book()->setLastChapterNumberRead(Decimal(125));
        appData->createFavoriteWithTitle(QStringLiteral("Fav"), QStringLiteral("/m/fav"),
                                         QStringLiteral("http://h"), QStringLiteral("Site"));
        ASSERT_FALSE(appData->save());
    }
    EXPECT_EQ(userVersion(storePath()), PersistentStoreCoordinator::kSchemaVersion);

    auto appData = start();
    auto *context = appData->managedObjectContext();
    auto pages = context->fetch<Page>(FetchRequest(AppData::PageEntityName));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0]->leftBorder(), 12);
    EXPECT_EQ(pages[0]->rightBorder(), 790);
    EXPECT_EQ(pages[0]->chapter()->book()->lastChapterNumberRead(), Decimal(125));
    EXPECT_EQ(context->executeFetchRequest(FetchRequest(AppData::FavoriteEntityName)).size(), 1u);
    EXPECT_EQ(context->executeFetchRequest(FetchRequest(AppData::BookEntityName)).size(), 2u);
    EXPECT_TRUE(alerts->isEmpty());
}

// A store of the build before pages were measured for colour: opened and
// upgraded in place, its pages keep everything and are of unknown colour.
TEST_F(MigrationTest, AVersionTwoStoreIsUpgradedWithPagesOfUnknownColour)
{
    {
        auto appData = start();
        auto page = appData->createPageWithUrlString(QStringLiteral("http://h/1.jpg"), 1, 800, 1200);
        page->setLeftBorder(12);
        page->setRightBorder(790);
        page->setIsDownloaded(true);
        ASSERT_FALSE(appData->save());
    }
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(storePath().toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "ALTER TABLE Page DROP COLUMN isGray; PRAGMA user_version = 2;", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    {
        auto appData = start();
        auto pages = appData->managedObjectContext()->fetch<Page>(FetchRequest(AppData::PageEntityName));
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(pages[0]->width(), 800);
        EXPECT_EQ(pages[0]->rightBorder(), 790);
        EXPECT_TRUE(pages[0]->isDownloaded());
        EXPECT_EQ(pages[0]->isGray(), std::nullopt);
        pages[0]->setIsGray(true);
        ASSERT_FALSE(appData->save());
    }
    EXPECT_EQ(userVersion(storePath()), 3) << "a build that knows only version 2 refuses it";
    auto appData = start();
    auto pages = appData->managedObjectContext()->fetch<Page>(FetchRequest(AppData::PageEntityName));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0]->isGray(), std::optional<bool>(true));
    EXPECT_TRUE(alerts->isEmpty());
}

} // namespace
