#include <sqlite3.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "download/ChaptersDeleterController.h"
#include "download/DownloadsDeleterController.h"
#include "download/RemovePathsQueueWrapper.h"
#include "support/LibraryFixture.h"

namespace {

class BulkDeleteTest : public LibraryFixture
{
protected:
    // A library book with opened chapters 1..count, each with one page file.
    std::shared_ptr<Book> addBook(int count, std::optional<int> lastRead)
    {
        auto book = appData().createBookWithTitle(QStringLiteral("B"), QStringLiteral("S"));
        if (lastRead)
            book->setLastChapterNumberRead(Decimal(*lastRead * 10));
        for (int i = 1; i <= count; ++i) {
            auto chapter = appData().createChapterWithTitle(QString::number(i), Decimal(i), 1, true);
            chapter->setBook(book);
            chapter->setLastPageRead(0);
            auto page = appData().createPageWithUrlString(QStringLiteral("http://x/0.jpg"), 0, 1, 1);
            page->setChapter(chapter);
            appData().writeData("p", *page);
        }
        EXPECT_FALSE(appData().save());
        return book;
    }
    static QStringList numbers(const std::vector<std::shared_ptr<Chapter>> &chapters)
    {
        QStringList out;
        for (const auto &chapter : chapters)
            out << chapter->number()->toString();
        out.sort();
        return out;
    }
    template <typename T> static QStringList numbers(const std::vector<std::shared_ptr<T>> &records)
    {
        return numbers(std::vector<std::shared_ptr<Chapter>>(records.begin(), records.end()));
    }
    QString imagesDirectory() const { return MyDirectories::sharedMyDirectories().imagesDirectory(); }
};

class Finished : public DownloadsDeleterControllerDelegate, public ChaptersDeleterControllerDelegate
{
public:
    void downloadsDeleterDidFinish(DownloadsDeleterController &) override { ++count; }
    void chaptersDeleterDidFinish(ChaptersDeleterController &) override { ++count; }
    void downloadsDeleterDidFail(DownloadsDeleterController &, const Error &error) override
    {
        failures << error.message;
    }
    void chaptersDeleterDidFail(ChaptersDeleterController &, const Error &error) override
    {
        failures << error.message;
    }
    int count = 0;
    QStringList failures;
};

TEST_F(BulkDeleteTest, AFailedSaveIsToldToTheDelegateAndKeepsRecordsAndFolders)
{
    // Another connection makes the store refuse every deletion of a chapter
    // (downloads are chapters too).
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(appData().persistentStoreCoordinator()->storePath().toUtf8().constData(), &db),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(
                  db,
                  "CREATE TRIGGER refuse BEFORE DELETE ON Chapter BEGIN SELECT RAISE(ABORT, 'refused'); END",
                  nullptr, nullptr, nullptr),
              SQLITE_OK);
    // Foreground (under six) and background (six or more), for both.
    for (const int count : {3, 7}) {
        SCOPED_TRACE(count);
        for (int i = 1; i <= count; ++i)
            addDownload(QStringLiteral("D%1").arg(count), QStringLiteral("S"),
                        QByteArray::number(i).constData(), 1, true, 0);
        auto book = addBook(count + 1, count + 1);
        QStringList folders;
        for (const auto &chapter : book->chapters())
            folders << appData().chapterDirectory(*chapter);
        for (const auto &download : downloads())
            folders << appData().chapterDirectory(*download);
        Finished finished;
        DownloadsDeleterController downloadsDeleter(&finished);
        downloadsDeleter.addToNotifications();
        downloadsDeleter.deleteDownloads();
        alerts->press(1);
        alerts->clear(); // the store's own alert
        ChaptersDeleterController chaptersDeleter(book, &finished);
        chaptersDeleter.addToNotifications();
        chaptersDeleter.deleteChapters();
        alerts->press(1);
        pumpEvents();
        EXPECT_EQ(finished.count, 0);
        ASSERT_EQ(finished.failures.size(), 2);
        EXPECT_FALSE(finished.failures[0].isEmpty());
        EXPECT_FALSE(overlay->shown);
        for (const QString &folder : folders)
            EXPECT_TRUE(QFileInfo(folder).isDir()) << folder.toStdString();
        // What the failed saves left pending is dropped, as a new run would.
        restart();
        alerts->clear();
    }
    sqlite3_close(db);
}

TEST_F(BulkDeleteTest, LowerNumberedOpenedDownloadsGoAndTheHighestStays)
{
    auto unopened = addDownload(QStringLiteral("A"), QStringLiteral("S"), "2", 1, true, -1, 9);
    auto three = addDownload(QStringLiteral("A"), QStringLiteral("S"), "3", 1, true, 0, 8);
    addDownload(QStringLiteral("A"), QStringLiteral("S"), "4", 1, true, 0, 7);
    addDownload(QStringLiteral("A"), QStringLiteral("S"), "5", 1, true, 0, 6);
    // Another manga, whose only download is its highest.
    addDownload(QStringLiteral("Other"), QStringLiteral("S"), "1", 1, true, 0, 5);
    const QString threeFolder = appData().chapterDirectory(*three);

    Finished finished;
    DownloadsDeleterController controller(&finished);
    controller.deleteDownloads();
    EXPECT_EQ(alerts->last().tag, 77);
    alerts->press(1);
    EXPECT_EQ(finished.count, 1);
    EXPECT_EQ(numbers(downloads()),
              QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("5")}));
    EXPECT_FALSE(QFileInfo::exists(threeFolder));
    EXPECT_TRUE(QFileInfo::exists(appData().chapterDirectory(*unopened)));
    EXPECT_TRUE(RemovePathsQueueWrapper::remainingPaths().isEmpty());

    // A queued download blocks the whole deletion.
    addDownload(QStringLiteral("A"), QStringLiteral("S"), "1", 1, true, 0, 10);
    addDownload(QStringLiteral("C"), QStringLiteral("S"), "1", 1, false, -1, 0)->setIsQueued(true);
    controller.deleteDownloads();
    alerts->press(1);
    EXPECT_EQ(alerts->last().message, QStringLiteral("Cannot delete in bulk while downloading"));
    EXPECT_EQ(downloads().size(), 5u);
}

TEST_F(BulkDeleteTest, ReadChaptersBelowTheLastReadGo)
{
    auto book = addBook(6, 4);
    Finished finished;
    ChaptersDeleterController controller(book, &finished);
    controller.deleteChapters();
    alerts->press(1);
    EXPECT_EQ(finished.count, 1);
    EXPECT_EQ(numbers(book->chapters()),
              QStringList({QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")}));
    EXPECT_EQ(QDir(appData().bookDirectory(*book)).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 3);

    // Refused while a download runs.
    addDownload(QStringLiteral("A"), QStringLiteral("S"), "1")->setIsDownloading(true);
    book->setLastChapterNumberRead(std::nullopt);
    controller.deleteChapters();
    alerts->press(1);
    EXPECT_EQ(alerts->last().message, QStringLiteral("Cannot delete in bulk while downloading"));
    EXPECT_EQ(book->chapters().size(), 3u);
}

TEST_F(BulkDeleteTest, SixOrMoreGoInTheBackgroundWithRecordsSavedFirst)
{
    auto book = addBook(8, 7);
    Finished finished;
    ChaptersDeleterController controller(book, &finished);
    controller.addToNotifications();
    controller.deleteChapters();
    alerts->press(1);
    // The records are gone and stored before any folder is touched.
    EXPECT_EQ(numbers(book->chapters()), QStringList({QStringLiteral("7"), QStringLiteral("8")}));
    EXPECT_FALSE(context().hasChanges());
    EXPECT_TRUE(overlay->shown);
    ASSERT_TRUE(pumpEventsUntil([&] { return finished.count == 1; }));
    EXPECT_FALSE(overlay->shown);
    EXPECT_EQ(QDir(appData().bookDirectory(*book)).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 2);
    EXPECT_TRUE(RemovePathsQueueWrapper::remainingPaths().isEmpty());
    EXPECT_TRUE(overlay->labels.contains(QStringLiteral("Processing 6/6")));
}

TEST_F(BulkDeleteTest, PendingRemovalsResumeOnceAtStartSkippingOwnedFolders)
{
    auto book = addBook(3, std::nullopt);
    auto chapters = book->chapters();
    const QString gone = appData().chapterDirectory(*chapters[0]);
    const QString kept = appData().chapterDirectory(*chapters[1]);
    const QString outside = root.path() + QStringLiteral("/precious");
    QDir().mkpath(outside);
    // A run listed three folders, stored the deletion of only the first
    // record, and died before removing anything.
    RemovePathsQueueWrapper::writeRemovePaths({gone, kept, outside});
    context().deleteObject(chapters[0]);
    ASSERT_FALSE(appData().save());
    restart();

    LibraryQueues::create();
    auto *wrapper = LibraryQueues::removePathsQueueWrapper();
    EXPECT_FALSE(wrapper->resumeRemainingPaths()) << "already resumed by create()";
    ASSERT_TRUE(pumpEventsUntil([&] { return RemovePathsQueueWrapper::remainingPaths().isEmpty(); }));
    wrapper->queue().waitUntilAllOperationsAreFinished();
    EXPECT_FALSE(QFileInfo::exists(gone));
    EXPECT_TRUE(QFileInfo::exists(kept));
    EXPECT_TRUE(QFileInfo::exists(outside));
}

TEST_F(BulkDeleteTest, ABookRemovedInTheBackgroundIsStoredAsDeletedFirst)
{
    auto book = addBook(6, std::nullopt);
    QStringList paths;
    for (const auto &chapter : book->chapters())
        paths << appData().chapterDirectory(*chapter);
    paths << appData().bookDirectory(*book);
    LibraryQueues::create();
    bool finished = false;
    NotificationCenter::defaultCenter().addObserver(this, RemovePathsQueueWrapper::DidFinishNotification,
                                                    [&] { finished = true; });
    LibraryQueues::removePathsQueueWrapper()->launchRemovePaths(paths, book);
    ASSERT_TRUE(pumpEventsUntil([&] { return finished; }));
    EXPECT_TRUE(context()
                    .fetch<Book>(FetchRequest(
                        Book::entityName(),
                        Predicate::predicateWithFormat(QStringLiteral("title == %@"), {QStringLiteral("B")})))
                    .empty());
    EXPECT_FALSE(context().hasChanges());
    EXPECT_FALSE(QFileInfo::exists(paths.last()));
    EXPECT_TRUE(RemovePathsQueueWrapper::remainingPaths().isEmpty());
}

} // namespace
