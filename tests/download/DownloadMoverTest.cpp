#include <cerrno>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "download/DownloadMoveJournal.h"
#include "download/DownloadMover.h"
#include "download/DownloadServices.h"
#include "download/DownloadsMoverController.h"
#include "download/DownloadsMoverQueueWrapper.h"
#include "files/FileFaults.h"
#include "files/PlistArrayFile.h"
#include "store/BooksRequest.h"
#include "support/LibraryFixture.h"

namespace {

class DownloadMoverTest : public LibraryFixture
{
protected:
    std::shared_ptr<Book> book(const QString &title)
    {
        auto books = context().fetch<Book>(BooksRequest(title));
        return books.empty() ? nullptr : books.back();
    }
    QStringList pageFiles(const Chapter &chapter)
    {
        QStringList files;
        for (const auto &page : chapter.pages())
            files << (QFileInfo(appData().pageFileName(*page)).isFile() ? page->uuid()
                                                                        : QStringLiteral("missing"));
        files.sort();
        return files;
    }
};

class Finished : public DownloadsMoverControllerDelegate
{
public:
    void downloadsMoverDidFinish(DownloadsMoverController &) override { ++count; }
    int count = 0;
};

TEST_F(DownloadMoverTest, SavingMovesRecordsAndFilesIntoTheMatchingBook)
{
    auto existing = appData().createBookWithTitle(QStringLiteral("Naruto"), QStringLiteral("MangaFox"));
    ASSERT_FALSE(appData().save());
    auto naruto = addDownload(QStringLiteral("naruto"), QStringLiteral("MangaFox"), "7.5", 3, true, 2);
    const QString downloadFolder = appData().chapterDirectory(*naruto);

    auto chapter = DownloadMover::save(naruto, context(), true, true);
    ASSERT_TRUE(chapter);
    ASSERT_FALSE(appData().save());
    EXPECT_EQ(chapter->book()->uuid(), existing->uuid()) << "found ignoring case, not created";
    EXPECT_EQ(chapter->title(), QStringLiteral("naruto 7.5"));
    EXPECT_EQ(chapter->lastPageRead(), 2);
    EXPECT_EQ(existing->lastChapterNumberRead(), std::optional<Decimal>(Decimal(75)));
    EXPECT_EQ(pageFiles(*chapter),
              QStringList({QStringLiteral("000.jpg"), QStringLiteral("001.jpg"), QStringLiteral("002.jpg")}));
    EXPECT_FALSE(QFileInfo::exists(downloadFolder));
    EXPECT_TRUE(downloads().empty());

    // A book that is missing is created with the download's titles; the
    // last chapter read is left alone unless asked for.
    auto bleach = addDownload(QStringLiteral("Bleach"), QStringLiteral("MangaHere"), "3");
    chapter = DownloadMover::save(bleach, context());
    ASSERT_TRUE(chapter);
    EXPECT_EQ(chapter->book()->title(), QStringLiteral("Bleach"));
    EXPECT_EQ(chapter->book()->rootTitle(), QStringLiteral("MangaHere"));
    EXPECT_FALSE(chapter->book()->lastChapterNumberRead());
    EXPECT_TRUE(alerts->isEmpty());
}

TEST_F(DownloadMoverTest, ADownloadWithoutItsFolderOrWithSubfoldersIsLeftAlone)
{
    auto missing = addDownload(QStringLiteral("A"), QStringLiteral("S"), "1");
    QDir(appData().chapterDirectory(*missing)).removeRecursively();
    EXPECT_FALSE(DownloadMover::save(missing, context()));
    EXPECT_EQ(alerts->last().message, QStringLiteral("Download not a directory?  Not moving files"));

    auto nested = addDownload(QStringLiteral("B"), QStringLiteral("S"), "1");
    QDir().mkpath(appData().chapterDirectory(*nested) + QStringLiteral("/sub"));
    EXPECT_FALSE(DownloadMover::save(nested, context()));
    EXPECT_EQ(alerts->last().message, QStringLiteral("Download has subdirectories? Not moving files"));
    EXPECT_FALSE(context().hasChanges());
    EXPECT_EQ(downloads().size(), 2u);
}

TEST_F(DownloadMoverTest, AMoveCutShortBeforeTheSaveIsUndoneAtTheNextStart)
{
    auto download = addDownload(QStringLiteral("A"), QStringLiteral("S"), "1");
    const QString uuid = download->uuid();
    ASSERT_TRUE(DownloadMover::save(download, context()));
    // The process dies here: nothing of the move was stored.
    restart();
    DownloadMover::recoverInterruptedMoves(context());
    const auto left = downloads();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0]->uuid(), uuid);
    EXPECT_EQ(pageFiles(*left[0]),
              QStringList({QStringLiteral("000.jpg"), QStringLiteral("001.jpg"), QStringLiteral("002.jpg")}));
    EXPECT_TRUE(context().fetch<Book>(BooksRequest()).empty());
    EXPECT_EQ(DownloadMoveJournal::count(), 0);
}

TEST_F(DownloadMoverTest, AJournalWithALineCutShortOrInTheEarlierFormatIsStillSettled)
{
    const auto expectRestored = [&](const QString &uuid) {
        const auto left = downloads();
        ASSERT_EQ(left.size(), 1u);
        EXPECT_EQ(left[0]->uuid(), uuid);
        EXPECT_EQ(pageFiles(*left[0]), QStringList({QStringLiteral("000.jpg"), QStringLiteral("001.jpg"),
                                                    QStringLiteral("002.jpg")}));
        EXPECT_EQ(DownloadMoveJournal::count(), 0);
    };
    // An earlier entry was cut short by a crash while it was appended.
    {
        QFile journal(DownloadMoveJournal::journalFilename());
        ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
        journal.write(R"({"source":"/)");
    }
    auto download = addDownload(QStringLiteral("A"), QStringLiteral("S"), "1");
    const QString uuid = download->uuid();
    ASSERT_TRUE(DownloadMover::save(download, context()));
    restart();
    DownloadMover::recoverInterruptedMoves(context());
    expectRestored(uuid);

    // A journal written as a property list by an earlier build.
    download = downloads().front();
    const QString source = appData().chapterDirectory(*download);
    auto chapter = DownloadMover::save(download, context());
    ASSERT_TRUE(chapter);
    ASSERT_TRUE(QFile::remove(DownloadMoveJournal::journalFilename()));
    PlistArrayFile::writeDictionaries(DownloadMoveJournal::journalFilename(),
                                      {{{QStringLiteral("source"), source},
                                        {QStringLiteral("destination"), appData().chapterDirectory(*chapter)},
                                        {QStringLiteral("download"), uuid},
                                        {QStringLiteral("chapter"), chapter->uuid()}}});
    restart();
    DownloadMover::recoverInterruptedMoves(context());
    expectRestored(uuid);
}

TEST_F(DownloadMoverTest, AnAutoSavedDownloadIsStoredAndLeavesNothingToSettle)
{
    auto download = addDownload(QStringLiteral("A"), QStringLiteral("S"), "1");
    DownloadServices().saveDownloadToLibrary(download);
    EXPECT_EQ(DownloadMoveJournal::count(), 0);
    restart();
    ASSERT_TRUE(book(QStringLiteral("A")));
    EXPECT_EQ(book(QStringLiteral("A"))->chapters().size(), 1u);
    EXPECT_TRUE(downloads().empty());
}

TEST_F(DownloadMoverTest, AMoveSavedButNotSettledIsCompletedAtTheNextStart)
{
    auto download = addDownload(QStringLiteral("A"), QStringLiteral("S"), "1");
    const QString source = appData().chapterDirectory(*download);
    auto chapter = DownloadMover::save(download, context());
    ASSERT_TRUE(chapter);
    // One file was still in the download's folder when the save got stored.
    QDir().mkpath(source);
    QDir().rename(appData().pageFileName(*chapter->pages().front()),
                  source + u'/' + chapter->pages().front()->uuid());
    ASSERT_FALSE(appData().save());
    restart();
    DownloadMover::recoverInterruptedMoves(context());
    auto stored = book(QStringLiteral("A"))->chapters();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(pageFiles(*stored[0]),
              QStringList({QStringLiteral("000.jpg"), QStringLiteral("001.jpg"), QStringLiteral("002.jpg")}));
    EXPECT_FALSE(QFileInfo::exists(source));
}

TEST_F(DownloadMoverTest, BulkSaveTakesTheTwentyNewestInTheBackground)
{
    for (int i = 0; i < 25; ++i)
        addDownload(QStringLiteral("A"), QStringLiteral("S"), QByteArray::number(i + 1).constData(), 2, true,
                    -1, 25 - i);
    Finished finished;
    DownloadsMoverController controller(&finished);
    controller.addToNotifications();
    controller.moveDownloads();
    ASSERT_EQ(alerts->last().tag, 44);
    EXPECT_EQ(alerts->last().message,
              QStringLiteral("Do you want to save the completed downloads to the library?\n"
                             "20 downloads are saved at a time.\n"
                             "(Don't exit the app while processing)"));
    alerts->press(1);
    EXPECT_TRUE(overlay->shown);
    ASSERT_TRUE(pumpEventsUntil([&] { return finished.count == 1; }));
    EXPECT_FALSE(overlay->shown);
    pumpEvents();
    EXPECT_EQ(overlay->labels.last(), QStringLiteral("Processing 20/20"));

    // The main context saw every save merged.
    QStringList left;
    for (const auto &download : downloads())
        left << download->number()->toString();
    EXPECT_EQ(left, QStringList({QStringLiteral("5"), QStringLiteral("4"), QStringLiteral("3"),
                                 QStringLiteral("2"), QStringLiteral("1")}));
    EXPECT_EQ(book(QStringLiteral("A"))->chapters().size(), 20u);
    EXPECT_EQ(DownloadMoveJournal::count(), 0);
}

TEST_F(DownloadMoverTest, BulkSaveRunsFiveAtOnceAndIsRefusedWhileFetching)
{
    for (int i = 0; i < 5; ++i)
        addDownload(QStringLiteral("A"), QStringLiteral("S"), QByteArray::number(i + 1).constData(), 1, true,
                    -1, 10 - i);
    addDownload(QStringLiteral("A"), QStringLiteral("S"), "9", 1, false, -1, 20); // incomplete: never saved
    Finished finished;
    DownloadsMoverController controller(&finished);
    controller.moveDownloads();
    alerts->press(1);
    EXPECT_EQ(finished.count, 1) << "at once, without the overlay";
    EXPECT_EQ(overlay->shows, 0);
    EXPECT_EQ(downloads().size(), 1u);

    addDownload(QStringLiteral("A"), QStringLiteral("S"), "10")->setIsDownloading(true);
    controller.moveDownloads();
    alerts->press(1);
    EXPECT_EQ(alerts->last().message, QStringLiteral("Cannot save to the library in bulk while downloading"));
    EXPECT_TRUE(controller.downloadsToMove().empty());
    EXPECT_EQ(finished.count, 1);
}

// The folder cannot simply be renamed, so the pages move one by one.
void refuseFolderRenames(std::function<int(FileFaults::Step, const QString &)> more = nullptr)
{
    FileFaults::setInjector([more](FileFaults::Step step, const QString &path) {
        if (step == FileFaults::Step::RenameFolder)
            return EXDEV;
        return more ? more(step, path) : 0;
    });
}

TEST_F(DownloadMoverTest, ASaveThatCannotPlaceEveryFileLeavesTheDownloadAsItWas)
{
    for (const auto failing : {FileFaults::Step::CreateFolder, FileFaults::Step::MoveFile}) {
        SCOPED_TRACE(int(failing));
        auto download = addDownload(QStringLiteral("New Book"), QStringLiteral("S"), "1");
        const QString folder = appData().chapterDirectory(*download);
        // The chapter folder cannot be made, or the second page cannot move.
        refuseFolderRenames([&](FileFaults::Step step, const QString &path) {
            if (step != failing)
                return 0;
            return step == FileFaults::Step::CreateFolder || path.endsWith(QStringLiteral("/001.jpg")) ? EIO
                                                                                                       : 0;
        });
        const auto alertsBefore = alerts->alerts().size();
        EXPECT_FALSE(DownloadMover::save(download, context(), true, true));
        FileFaults::setInjector(nullptr);

        EXPECT_GT(alerts->alerts().size(), alertsBefore) << "the file error is shown";
        EXPECT_FALSE(context().hasChanges()) << "nothing of the chapter or its new book";
        EXPECT_EQ(DownloadMoveJournal::count(), 0);
        EXPECT_EQ(
            QDir(folder).entryList(QDir::Files),
            QStringList({QStringLiteral("000.jpg"), QStringLiteral("001.jpg"), QStringLiteral("002.jpg")}));
        EXPECT_EQ(download->pages().size(), 3u);
        EXPECT_TRUE(context().fetch<Book>(BooksRequest(QStringLiteral("New Book"))).empty());
        context().deleteObject(download);
        ASSERT_FALSE(appData().save());
    }
}

TEST_F(DownloadMoverTest, ABulkSaveGoesOnPastADownloadThatCannotMoveAndCountsIt)
{
    for (const int count : {3, 6}) {
        SCOPED_TRACE(count);
        std::vector<std::shared_ptr<Download>> all;
        for (int i = 0; i < count; ++i)
            all.push_back(addDownload(QStringLiteral("B%1").arg(count), QStringLiteral("S"),
                                      QByteArray::number(i + 1).constData(), 2, true, -1, 10 - i));
        const QString stuck = appData().chapterDirectory(*all[1]);
        refuseFolderRenames([&](FileFaults::Step step, const QString &path) {
            return step == FileFaults::Step::MoveFile && path.startsWith(stuck + u'/') ? ENOSPC : 0;
        });
        Finished finished;
        DownloadsMoverController controller(&finished);
        controller.addToNotifications();
        alerts->clear();
        controller.moveDownloads();
        alerts->press(1);
        ASSERT_TRUE(pumpEventsUntil([&] { return finished.count == 1; }));
        FileFaults::setInjector(nullptr);

        EXPECT_EQ(controller.failedCount(), 1);
        EXPECT_EQ(alerts->last().message,
                  QStringLiteral("1 of %1 downloads could not be saved to the library.").arg(count));
        const auto left = downloads();
        ASSERT_EQ(left.size(), 1u);
        EXPECT_EQ(left[0]->uuid(), all[1]->uuid());
        EXPECT_EQ(QDir(stuck).entryList(QDir::Files).size(), 2);
        EXPECT_EQ(book(QStringLiteral("B%1").arg(count))->chapters().size(), size_t(count - 1));
        EXPECT_EQ(DownloadMoveJournal::count(), 0);
        context().deleteObject(left[0]);
        ASSERT_FALSE(appData().save());
    }
}

} // namespace
