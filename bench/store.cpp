// The object store against the raw SQLite C API on the same kind of file
// (WAL, synchronous FULL), measured in the same run. Prints three ratios:
// saving a 300-page chapter from a background context against prepared
// inserts in one transaction; fetching 2,000 books sorted by title and the
// 500 chapters of one book sorted by number against the same SQL, decoded
// into plain structs. Each figure is the median of several runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include <sqlite3.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "BenchLibrary.h"
#include "files/MyDirectories.h"
#include "foundation/Alerts.h"
#include "store/AppData.h"
#include "store/StoreCollation.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Medians {
    double store = 0;
    double raw = 0;
};

// Runs the two sides alternately, so that load from elsewhere on the
// machine falls on both alike; setUp is not timed.
Medians race(int runs, const std::function<void()> &setUp, const std::function<void()> &store,
             const std::function<void()> &raw)
{
    auto time = [](const std::function<void()> &work) {
        const auto start = Clock::now();
        work();
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    std::vector<double> storeTimes, rawTimes;
    for (int i = 0; i < runs; ++i) {
        setUp();
        storeTimes.push_back(time(store));
        rawTimes.push_back(time(raw));
    }
    auto median = [](std::vector<double> &v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    return Medians{median(storeTimes), median(rawTimes)};
}

int collateLocalized(void *, int aLength, const void *a, int bLength, const void *b)
{
    return StoreCollation::localizedCaseInsensitiveCompareUtf8(static_cast<const char *>(a), aLength,
                                                               static_cast<const char *>(b), bLength);
}

int collateDecimal(void *, int aLength, const void *a, int bLength, const void *b)
{
    return StoreCollation::compareDecimalTexts(static_cast<const char *>(a), aLength,
                                               static_cast<const char *>(b), bLength);
}

sqlite3 *openRaw(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL; PRAGMA temp_store = MEMORY",
                 nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(db, "LOCALIZED", SQLITE_UTF8, nullptr, collateLocalized, nullptr);
    sqlite3_create_collation_v2(db, "DECIMAL", SQLITE_UTF8, nullptr, collateDecimal, nullptr);
    return db;
}

QString text(sqlite3_stmt *s, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, column)),
                             sqlite3_column_bytes(s, column));
}

void report(const char *what, const Medians &m)
{
    const double ratio = m.store / m.raw;
    std::printf("%-44s store %8.3f ms   raw %8.3f ms   ratio %5.2f  (bound 3.00: %s)\n", what, m.store, m.raw,
                ratio, ratio <= 3.0 ? "within" : "OVER");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    MyDirectories::setRootDirectory(root.path());
    MyDirectories::sharedMyDirectories().createDirectories();
    Alerts::install(std::make_shared<AlertRecorder>());

    AppData appData;
    appData.setup();

    // The library: 2,000 books, one of them with 500 chapters.
    std::shared_ptr<Book> bigBook;
    for (int i = 0; i < 2000; ++i) {
        auto book = appData.createBookWithTitle(BenchLibrary::bookTitle(i), QStringLiteral("Site"));
        if (i == 1000)
            bigBook = book;
    }
    BenchLibrary::addChapters(appData, *bigBook, 500);
    appData.save();
    const qint64 bigBookRow = bigBook->objectID().row;

    // ---- Fetching: a fresh context each time, so every record is built.
    const QString storePath =
        MyDirectories::sharedMyDirectories().applicationDocumentDirectory() + u'/' + AppData::CoreDataName;
    sqlite3 *raw = openRaw(storePath);
    struct BookRow {
        qint64 id;
        QString title, rootTitle, uuid, lastChapterNumberRead;
    };
    struct ChapterRow {
        qint64 id, book, expectedNumberOfPages, lastPageRead;
        QString entity, title, uuid;
        Decimal number;
        bool isComplete;
    };

    std::unique_ptr<ManagedObjectContext> context;
    const FetchRequest booksRequest(
        AppData::BookEntityName,
        Predicate::predicateWithFormat(QStringLiteral("title != %@"), {AppData::DownloadsBookName}),
        {SortDescriptor::localizedCaseInsensitive(QStringLiteral("title"))});
    sqlite3_stmt *selectBooks = nullptr;
    sqlite3_prepare_v2(
        raw,
        "SELECT id, title, rootTitle, uuid, lastChapterNumberRead FROM Book WHERE title IS NOT ?"
        " ORDER BY title COLLATE LOCALIZED ASC, id ASC",
        -1, &selectBooks, nullptr);
    size_t storeBookCount = 0, rawBookCount = 0;
    const Medians books = race(
        15, [&] { context = appData.newManagedObjectContext(false); },
        [&] { storeBookCount = context->fetch<Book>(booksRequest).size(); },
        [&] {
            std::vector<BookRow> rows;
            sqlite3_bind_text(selectBooks, 1, "Downloads", -1, SQLITE_STATIC);
            while (sqlite3_step(selectBooks) == SQLITE_ROW)
                rows.push_back(BookRow{sqlite3_column_int64(selectBooks, 0), text(selectBooks, 1),
                                       text(selectBooks, 2), text(selectBooks, 3), text(selectBooks, 4)});
            sqlite3_reset(selectBooks);
            rawBookCount = rows.size();
        });

    const FetchRequest chaptersRequest(
        AppData::ChapterEntityName,
        Predicate::comparison(QStringLiteral("book"), Predicate::Operator::Equal, bigBook->objectID()),
        {SortDescriptor{QStringLiteral("number")}});
    sqlite3_stmt *selectChapters = nullptr;
    sqlite3_prepare_v2(
        raw,
        "SELECT id, entity, book, title, number, expectedNumberOfPages, isComplete, lastPageRead, uuid"
        " FROM Chapter WHERE book IS ? ORDER BY number COLLATE DECIMAL ASC, id ASC",
        -1, &selectChapters, nullptr);
    size_t storeChapterCount = 0, rawChapterCount = 0;
    const Medians chapters = race(
        15, [&] { context = appData.newManagedObjectContext(false); },
        [&] { storeChapterCount = context->fetch<Chapter>(chaptersRequest).size(); },
        [&] {
            std::vector<ChapterRow> rows;
            sqlite3_bind_int64(selectChapters, 1, bigBookRow);
            while (sqlite3_step(selectChapters) == SQLITE_ROW) {
                sqlite3_stmt *s = selectChapters;
                rows.push_back(ChapterRow{sqlite3_column_int64(s, 0), sqlite3_column_int64(s, 2),
                                          sqlite3_column_int64(s, 5), sqlite3_column_int64(s, 7), text(s, 1),
                                          text(s, 3), text(s, 8), Decimal::fromString(text(s, 4)),
                                          sqlite3_column_int(s, 6) != 0});
            }
            sqlite3_reset(selectChapters);
            rawChapterCount = rows.size();
        });
    sqlite3_finalize(selectBooks);
    sqlite3_finalize(selectChapters);
    sqlite3_close(raw);

    // ---- Saving a chapter of 300 pages
    const QString rawPath = root.path() + QStringLiteral("/raw.sqlite");
    raw = openRaw(rawPath);
    sqlite3_exec(
        raw,
        "CREATE TABLE Chapter (id INTEGER PRIMARY KEY, entity TEXT, book INTEGER, title TEXT, number TEXT,"
        " expectedNumberOfPages INTEGER, isComplete INTEGER, lastPageRead INTEGER, uuid TEXT);"
        "CREATE TABLE Page (id INTEGER PRIMARY KEY, chapter INTEGER, number INTEGER, url TEXT, uuid TEXT,"
        " width REAL, height REAL, leftBorder REAL, rightBorder REAL, isDownloaded INTEGER,"
        " errorString TEXT);"
        "CREATE INDEX PageChapter ON Page (chapter)",
        nullptr, nullptr, nullptr);
    sqlite3_stmt *insertChapter = nullptr, *insertPage = nullptr;
    sqlite3_prepare_v2(raw,
                       "INSERT INTO Chapter (entity, book, title, number, expectedNumberOfPages, isComplete,"
                       " lastPageRead, uuid) VALUES ('Chapter', ?, ?, ?, 300, 1, -1, ?)",
                       -1, &insertChapter, nullptr);
    sqlite3_prepare_v2(
        raw, "INSERT INTO Page (chapter, number, url, uuid, width, height) VALUES (?, ?, ?, ?, ?, ?)", -1,
        &insertPage, nullptr);
    auto bindText = [](sqlite3_stmt *s, int i, const QString &value) {
        const QByteArray utf8 = value.toUtf8();
        sqlite3_bind_text(s, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    };

    int round = 0;
    const Medians save = race(
        25, [] {},
        [&] {
            auto context = appData.newManagedObjectContext();
            auto book = appData.createBookWithTitle(QStringLiteral("Saved %1").arg(round),
                                                    QStringLiteral("Site"), context.get());
            auto chapter = appData.createChapterWithTitle(QStringLiteral("Chapter"), Decimal(round++), 300,
                                                          true, context.get());
            chapter->setBook(book.get());
            for (int p = 1; p <= 300; ++p)
                appData
                    .createPageWithUrlString(QStringLiteral("http://host/manga/%1.jpg").arg(p), p, 800, 1200,
                                             context.get())
                    ->setChapter(chapter.get());
            appData.saveInManagedObjectContext(*context);
        },
        [&] {
            sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            sqlite3_bind_int64(insertChapter, 1, 1);
            bindText(insertChapter, 2, QStringLiteral("Chapter"));
            bindText(insertChapter, 3, Decimal(round++).toString());
            bindText(insertChapter, 4, AppData::createUUID());
            sqlite3_step(insertChapter);
            sqlite3_reset(insertChapter);
            const qint64 chapter = sqlite3_last_insert_rowid(raw);
            for (int p = 1; p <= 300; ++p) {
                const QString url = QStringLiteral("http://host/manga/%1.jpg").arg(p);
                sqlite3_bind_int64(insertPage, 1, chapter);
                sqlite3_bind_int(insertPage, 2, p);
                bindText(insertPage, 3, url);
                bindText(insertPage, 4, AppData::createPageUUIDWithUrlString(url, p));
                sqlite3_bind_double(insertPage, 5, 800);
                sqlite3_bind_double(insertPage, 6, 1200);
                sqlite3_step(insertPage);
                sqlite3_reset(insertPage);
            }
            sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
        });
    QCoreApplication::processEvents(); // the queued merges into the main context
    sqlite3_finalize(insertChapter);
    sqlite3_finalize(insertPage);
    sqlite3_close(raw);

    std::printf("books fetched: store %zu, raw %zu; chapters fetched: store %zu, raw %zu\n", storeBookCount,
                rawBookCount, storeChapterCount, rawChapterCount);
    report("save a chapter of 300 pages (background)", save);
    report("fetch 2,000 books sorted by title", books);
    report("fetch 500 chapters of a book by number", chapters);
    return 0;
}
