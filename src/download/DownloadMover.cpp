#include "download/DownloadMover.h"

#include <cstdio>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "download/DownloadMoveJournal.h"
#include "files/FileFaults.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"
#include "store/AppData.h"
#include "store/BooksRequest.h"

std::shared_ptr<Chapter> DownloadMover::save(const std::shared_ptr<Download> &download,
                                             ManagedObjectContext &context, bool showWarning,
                                             bool setLastChapterRead)
{
    AppData &appData = AppData::sharedAppData();
    const QString rootTitle = download->rootTitle();
    const QString bookTitle = download->bookTitle();
    const QString title = download->title();
    const QString source = appData.chapterDirectory(*download);

    if (!isDirectory(source)) {
        AlertWithMessage(localized("Download not a directory?  Not moving files"));
        return nullptr;
    }
    if (containsSubdirectories(source)) {
        AlertWithMessage(localized("Download has subdirectories? Not moving files"));
        return nullptr;
    }

    std::optional<Error> error;
    const auto books = context.fetch<Book>(BooksRequest(bookTitle, rootTitle, &context), &error);
    if (error) {
        AlertWithTitleAndError(localized("Fatal! Please exit the application"), *error);
        return nullptr;
    }
    const bool bookIsNew = books.empty();
    const std::shared_ptr<Book> book =
        bookIsNew ? appData.createBookWithTitle(bookTitle, rootTitle, &context) : books.back();

    const Decimal number = download->number().value_or(Decimal(0));
    auto chapter = appData.createChapterWithTitle(title, number, download->expectedNumberOfPages(),
                                                  download->isComplete(), &context);
    chapter->setBook(book);

    if (!moveFiles(*download, *chapter)) {
        // The download keeps its record, pages and files; nothing of the
        // half-made chapter may reach the store.
        const QString bookFolder = appData.bookDirectory(*book);
        context.deleteObject(chapter);
        if (bookIsNew) {
            context.deleteObject(book);
            QDir().rmdir(bookFolder);
        }
        return nullptr;
    }

    chapter->setLastPageRead(download->lastPageRead());
    if (setLastChapterRead)
        book->setLastChapterNumberRead(number * Decimal(10));
    for (const auto &page : download->pages())
        chapter->addPagesObject(*appData.createPageWithPage(*page, &context));

    context.deleteObject(download);
    return chapter;
}

bool DownloadMover::moveFiles(const Download &download, const Chapter &chapter)
{
    AppData &appData = AppData::sharedAppData();
    const QString source = appData.chapterDirectory(download);
    const QString destination = appData.chapterDirectory(chapter);
    DownloadMoveJournal::add(source, destination, download.uuid(), chapter.uuid());
    if (renameFolder(source, destination))
        return true;
    if (!appData.createChapterDirectory(chapter)) {
        DownloadMoveJournal::remove({download.uuid()});
        return false;
    }
    if (appData.moveFiles(source, destination)) {
        appData.removeDirectory(source);
        return true;
    }
    // Some page stayed behind: the ones that moved go back, so the download
    // is whole again. Should that fail too, the journal entry stays and the
    // next start gives the download its files back.
    if (appData.moveFiles(destination, source)) {
        QDir().rmdir(destination);
        DownloadMoveJournal::remove({download.uuid()});
    }
    return false;
}

bool DownloadMover::renameFolder(const QString &source, const QString &destination)
{
    // The new chapter's folder cannot exist yet, so the download's folder
    // simply becomes it: one rename instead of a new folder, a rename per
    // page and the old folder's removal. The file-by-file move remains for
    // whatever stops this (another file system, a folder in the way).
    const QString parent = QFileInfo(destination).path();
    if (QFileInfo::exists(destination) || !QDir().mkpath(parent) ||
        FileFaults::fails(FileFaults::Step::RenameFolder, source))
        return false;
    return std::rename(QFile::encodeName(source).constData(), QFile::encodeName(destination).constData()) ==
           0;
}

void DownloadMover::didSave(const QStringList &downloadUuids)
{
    DownloadMoveJournal::remove(downloadUuids);
}

bool DownloadMover::isDirectory(const QString &path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.isDir() && !info.isSymLink();
}

bool DownloadMover::containsSubdirectories(const QString &path)
{
    return !QDir(path).entryList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).isEmpty();
}

void DownloadMover::recoverInterruptedMoves(ManagedObjectContext &context)
{
    DownloadMoveJournal::recover(context);
}
