// Import, export and bulk saving against the plain tools, measured in the
// same run. Prints three ratios:
// - exporting a 50-page chapter of 300 KB JPEGs against `zip -r` of the same
//   folder at the default level;
// - importing that zip (unpack, read the folder, store import with margin
//   finding) against `unzip` of it plus the cropper alone over its images;
// - saving 20 completed 50-page downloads into the library in bulk against
//   moving their files with rename() plus one SQLite transaction per
//   download writing the same rows.
// Each figure is the median of several alternating runs. Arguments name the
// parts to run (export, import, bulk); import needs export's zip.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <sqlite3.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "download/DownloadsMoverController.h"
#include "download/LibraryQueues.h"
#include "files/FSStats.h"
#include "files/FilesRemover.h"
#include "files/MyDirectories.h"
#include "foundation/Alerts.h"
#include "foundation/OperationQueue.h"
#include "ie/IEDBExporter.h"
#include "ie/IEDBImporter.h"
#include "ie/IEDBImporterOperation.h"
#include "ie/IEFileNameParser.h"
#include "ie/IEImporterOperation.h"
#include "reader/Cropper.h"
#include "store/AppData.h"
#include "store/BooksRequest.h"
#include "store/DownloadsRequest.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void report(const char *what, double ours, double baseline, double bound)
{
    const double ratio = ours / baseline;
    std::printf("%-34s ours %9.1f ms   baseline %9.1f ms   ratio %5.2f  (bound %.2f: %s)\n", what, ours,
                baseline, ratio, bound, ratio <= bound ? "within" : "OVER");
}

void waitUntil(const std::function<bool()> &done)
{
    // Every report reaches the main thread as an event, so sleep until one
    // comes instead of spinning against the work being measured.
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// A scanned-looking page: white margins around grey noise, saved as a JPEG
// of about 300 KB.
QByteArray pageJpeg(int seed)
{
    QImage image(1000, 1400, QImage::Format_Grayscale8);
    image.fill(255);
    QRandomGenerator random{quint32(seed)};
    for (int y = 60; y < 1340; ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 90; x < 910; ++x)
            line[x] = uchar(random.bounded(64) + ((x / 7 + y / 9) % 2) * 150);
    }
    for (int quality = 70; quality > 5; quality -= 5) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG", quality);
        if (bytes.size() <= 320 * 1024)
            return bytes;
    }
    return {};
}

std::shared_ptr<Chapter> exportChapter(AppData &appData)
{
    auto book = appData.createBookWithTitle(QStringLiteral("Bench Manga"), QStringLiteral("BenchSite"));
    auto chapter = appData.createChapterWithTitle(QStringLiteral("Chapter 12"), Decimal(12), 50, true);
    chapter->setBook(book);
    for (int i = 0; i < 50; ++i) {
        auto page = appData.createPageWithUrlString(QStringLiteral("http://x/p.jpg"), i + 1, 1000, 1400);
        page->setChapter(chapter);
        appData.writeData(pageJpeg(i), *page);
    }
    appData.save();
    return chapter;
}

int run(const QString &command)
{
    return std::system(command.toLocal8Bit().constData());
}

void addDownloads(AppData &appData, int count, int pages)
{
    for (int d = 0; d < count; ++d) {
        auto download = appData.createDownloadWithRootTitle(
            QStringLiteral("BenchSite"), QStringLiteral("Saved Manga"), QStringLiteral("Chapter %1").arg(d),
            QStringLiteral("http://x/1"), Decimal(d + 1), QDateTime::currentDateTimeUtc().addSecs(d), pages);
        download->setBook(appData.downloadsBook());
        download->setIsComplete(true);
        for (int i = 0; i < pages; ++i) {
            auto page =
                appData.createPageWithUrlString(QStringLiteral("http://x/%1.jpg").arg(i), i, 1000, 1400);
            page->setIsDownloaded(true);
            page->setChapter(download);
            appData.writeData(QByteArray(1024, 'p'), *page);
        }
    }
    appData.save();
}

// The same rows as the store writes, in a store of the same shape.
struct RawSave {
    sqlite3 *db = nullptr;
    QString images;

    explicit RawSave(const QString &directory) : images(directory + QStringLiteral("/images"))
    {
        sqlite3_open((directory + QStringLiteral("/raw.sqlite")).toUtf8().constData(), &db);
        sqlite3_exec(
            db,
            "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;"
            "CREATE TABLE Chapter (id INTEGER PRIMARY KEY, entity TEXT, title TEXT, number TEXT,"
            " expectedNumberOfPages INTEGER, isComplete INTEGER, lastPageRead INTEGER, uuid TEXT,"
            " book INTEGER, rootTitle TEXT, bookTitle TEXT, firstPageURL TEXT, date REAL,"
            " isQueued INTEGER, isDownloading INTEGER, nextChapterURL TEXT);"
            "CREATE TABLE Page (id INTEGER PRIMARY KEY, number INTEGER, url TEXT, uuid TEXT, width REAL,"
            " height REAL, leftBorder REAL, rightBorder REAL, isDownloaded INTEGER, errorString TEXT,"
            " chapter INTEGER);"
            "CREATE INDEX PageChapter ON Page(chapter); CREATE INDEX ChapterBook ON Chapter(book);",
            nullptr, nullptr, nullptr);
    }
    ~RawSave() { sqlite3_close(db); }

    void addDownloads(int count, int pages)
    {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (int d = 0; d < count; ++d) {
            sqlite3_exec(
                db,
                QStringLiteral("INSERT INTO Chapter VALUES (%1, 'Download', 'Chapter', '%1', %2, 1, -1,"
                               " 'D%1', 1, 'BenchSite', 'Saved Manga', 'http://x/1', 0, 0, 0, NULL)")
                    .arg(d + 1)
                    .arg(pages)
                    .toUtf8()
                    .constData(),
                nullptr, nullptr, nullptr);
            QDir().mkpath(images + QStringLiteral("/downloads/D%1").arg(d + 1));
            for (int i = 0; i < pages; ++i) {
                sqlite3_exec(
                    db,
                    QStringLiteral("INSERT INTO Page VALUES (NULL, %1, 'http://x/%1.jpg', '%1.jpg', 1000,"
                                   " 1400, 0, 0, 1, NULL, %2)")
                        .arg(i)
                        .arg(d + 1)
                        .toUtf8()
                        .constData(),
                    nullptr, nullptr, nullptr);
                QFile file(images + QStringLiteral("/downloads/D%1/%2.jpg").arg(d + 1).arg(i));
                file.open(QIODevice::WriteOnly);
                file.write(QByteArray(1024, 'p'));
            }
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }

    void save(int count, int pages)
    {
        sqlite3_stmt *insertChapter = nullptr, *insertPage = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO Chapter (entity, title, number, expectedNumberOfPages, isComplete,"
                           " lastPageRead, uuid, book) VALUES ('Chapter', ?, ?, ?, 1, -1, ?, 2)",
                           -1, &insertChapter, nullptr);
        sqlite3_prepare_v2(db,
                           "INSERT INTO Page (number, url, uuid, width, height, leftBorder, rightBorder,"
                           " isDownloaded, chapter) VALUES (?, ?, ?, 1000, 1400, 0, 0, 1, ?)",
                           -1, &insertPage, nullptr);
        for (int d = 0; d < count; ++d) {
            const QString from = images + QStringLiteral("/downloads/D%1").arg(d + 1);
            const QString to = images + QStringLiteral("/book/C%1").arg(d + 1);
            QDir().mkpath(to);
            for (int i = 0; i < pages; ++i) {
                const QString name = QStringLiteral("/%1.jpg").arg(i);
                std::rename((from + name).toLocal8Bit().constData(), (to + name).toLocal8Bit().constData());
            }
            QDir(from).removeRecursively();
            sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            sqlite3_bind_text(insertChapter, 1, "Chapter", -1, SQLITE_STATIC);
            sqlite3_bind_int(insertChapter, 2, d + 1);
            sqlite3_bind_int(insertChapter, 3, pages);
            sqlite3_bind_text(insertChapter, 4, "C", -1, SQLITE_STATIC);
            sqlite3_step(insertChapter);
            sqlite3_reset(insertChapter);
            const sqlite3_int64 chapter = sqlite3_last_insert_rowid(db);
            for (int i = 0; i < pages; ++i) {
                const QByteArray uuid = QByteArray::number(i) + ".jpg";
                sqlite3_bind_int(insertPage, 1, i);
                sqlite3_bind_text(insertPage, 2, "http://x/p.jpg", -1, SQLITE_STATIC);
                sqlite3_bind_text(insertPage, 3, uuid.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int64(insertPage, 4, chapter);
                sqlite3_step(insertPage);
                sqlite3_reset(insertPage);
            }
            sqlite3_exec(
                db,
                QStringLiteral("DELETE FROM Page WHERE chapter = %1; DELETE FROM Chapter WHERE id = %1")
                    .arg(d + 1)
                    .toUtf8()
                    .constData(),
                nullptr, nullptr, nullptr);
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        }
        sqlite3_finalize(insertChapter);
        sqlite3_finalize(insertPage);
    }
};

class Done : public DownloadsMoverControllerDelegate
{
public:
    void downloadsMoverDidFinish(DownloadsMoverController &) override { done = true; }
    bool done = false;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    auto alerts = std::make_shared<AlertRecorder>();
    Alerts::install(alerts);
    FSStats::setFreeSpaceOverride(quint64(100) << 30);
    constexpr int kRuns = 5;
    const QStringList parts = app.arguments().mid(1);
    const auto wanted = [&](const char *part) {
        return parts.isEmpty() || parts.contains(QLatin1String(part));
    };

    QTemporaryDir root;
    MyDirectories::setRootDirectory(root.path());
    MyDirectories::sharedMyDirectories().createDirectories();
    AppData &appData = AppData::sharedAppData();
    appData.setup();
    const auto chapter = wanted("export") || wanted("import") ? exportChapter(appData) : nullptr;
    const QString chapterFolder = chapter ? appData.chapterDirectory(*chapter) : QString();
    const QString scratch = root.path() + QStringLiteral("/scratch");
    const QString temporary = MyDirectories::sharedMyDirectories().temporaryDirectory();

    // ---- Export against zip -r of the chapter's folder.
    std::vector<double> ours, baseline;
    QString zipFile;
    const bool importing = wanted("import");
    for (int i = 0; i < (wanted("export") || importing ? kRuns : 0); ++i) {
        QDir(scratch).removeRecursively();
        QDir().mkpath(scratch);
        auto start = Clock::now();
        IEDBExporter exporter;
        OptionalError error;
        if (!exporter.exportChapter(*chapter, scratch, &error)) {
            std::fprintf(stderr, "export failed\n");
            return 1;
        }
        ours.push_back(msSince(start));
        zipFile = exporter.zipFileName();
        start = Clock::now();
        run(QStringLiteral("cd '%1' && zip -q -r '%2/plain.zip' '%3'")
                .arg(QFileInfo(chapterFolder).path(), scratch, QFileInfo(chapterFolder).fileName()));
        baseline.push_back(msSince(start));
    }
    if (!ours.empty())
        report("export 50 x 300 KB pages", median(ours), median(baseline), 1.3);
    const QString keptZip = root.path() + u'/' + QFileInfo(zipFile).fileName();
    if (importing)
        QFile::copy(zipFile, keptZip);

    // ---- Import against unzip plus the cropper alone.
    ours.clear();
    baseline.clear();
    for (int i = 0; i < (importing ? kRuns : 0); ++i) {
        auto start = Clock::now();
        bool done = false;
        QList<IEImportChapter> chapters;
        OperationQueue queue;
        queue.addOperation(std::make_shared<IEImporterOperation>(
            keptZip, temporary, [&](IEImporterOperation &) { done = true; },
            [&](IEImporterOperation &operation) {
                chapters = operation.chapters();
                done = true;
            }));
        waitUntil([&] { return done; });
        if (chapters.size() != 1) {
            std::fprintf(stderr, "unpacking failed\n");
            return 1;
        }
        IEFileNameParser names;
        names.parseString(chapters[0].baseName);
        chapters[0].number = names.chapterNumber();
        chapters[0].title = IEDBImporter::titleFromChapterNumber(names.chapterNumber(), names.volumeNumber());
        done = false;
        queue.addOperation(std::make_shared<IEDBImporterOperation>(
            QStringLiteral("Imported %1").arg(i), names.source(), chapters[0],
            [&](IEDBImporterOperation &) { done = true; }, [&](IEDBImporterOperation &) { done = true; },
            false));
        waitUntil([&] { return done; });
        ours.push_back(msSince(start));

        QDir(scratch).removeRecursively();
        QDir().mkpath(scratch);
        start = Clock::now();
        run(QStringLiteral("unzip -q -o '%1' -d '%2'").arg(keptZip, scratch));
        const QString folder = scratch + u'/' + chapters[0].baseName;
        for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
            QFile file(folder + u'/' + name);
            file.open(QIODevice::ReadOnly);
            Cropper cropper(file.readAll());
            cropper.crop();
        }
        baseline.push_back(msSince(start));
    }
    if (!ours.empty())
        report("import 50 x 300 KB pages", median(ours), median(baseline), 1.3);

    // ---- Bulk save of 20 downloads of 50 pages.
    ours.clear();
    baseline.clear();
    LibraryQueues::create();
    for (int i = 0; i < (wanted("bulk") ? kRuns : 0); ++i) {
        addDownloads(appData, 20, 50);
        Done delegate;
        DownloadsMoverController controller(&delegate);
        controller.addToNotifications();
        auto start = Clock::now();
        controller.moveDownloads();
        alerts->press(1);
        waitUntil([&] { return delegate.done; });
        ours.push_back(msSince(start));

        QTemporaryDir rawRoot;
        RawSave raw(rawRoot.path());
        raw.addDownloads(20, 50);
        start = Clock::now();
        raw.save(20, 50);
        baseline.push_back(msSince(start));
    }
    if (!ours.empty())
        report("bulk save 20 x 50-page downloads", median(ours), median(baseline), 1.5);
    LibraryQueues::destroy();
    return 0;
}
