#pragma once

#include <memory>
#include <mutex>
#include <optional>

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "foundation/Decimal.h"
#include "foundation/Error.h"
#include "store/Book.h"
#include "store/Chapter.h"
#include "store/ContextDidSaveNotification.h"
#include "store/Download.h"
#include "store/Favorite.h"
#include "store/ManagedObjectContext.h"
#include "store/ManagedObjectModel.h"
#include "store/Page.h"
#include "store/PersistentStoreCoordinator.h"

// The store facade: opens the library's store ("CoreData.sqlite" in the
// data directory), owns the shared context, creates records, turns records
// into file paths, writes page files and reports store and file failures
// with the fatal alerts.
//
// Thread contract: the shared context (managedObjectContext) and save()
// belong to the main thread. Background work takes its own context from
// newManagedObjectContext() and passes it to the creation forms that take a
// context. The paths, writeData, the directory operations and createUUID
// may be called from any thread (with records of that thread's context).
// The instance and its store are created lazily under a lock.
// The schema keeps no Bookmark entity: nothing ever used it.
class AppData
{
public:
    static inline const QString BookEntityName = QStringLiteral("Book");
    static inline const QString ChapterEntityName = QStringLiteral("Chapter");
    static inline const QString DownloadEntityName = QStringLiteral("Download");
    static inline const QString PageEntityName = QStringLiteral("Page");
    static inline const QString BookmarkEntityName = QStringLiteral("Bookmark");
    static inline const QString DownloadsBookName = QStringLiteral("Downloads");
    static inline const QString CoreDataName = QStringLiteral("CoreData.sqlite");
    static inline const QString FavoriteEntityName = QStringLiteral("Favorite");

    // The program's one instance, never released.
    static AppData &sharedAppData();
    // A separate facade over the home tree MyDirectories names now; for
    // tests and tools that need a fresh start.
    AppData();
    ~AppData();
    AppData(const AppData &) = delete;
    AppData &operator=(const AppData &) = delete;

    // ---- Store access
    const ManagedObjectModel &managedObjectModel() const { return ManagedObjectModel::sharedModel(); }
    // Opened on first use. A store that cannot be opened is not reported
    // here: every fetch and save through it fails instead.
    std::shared_ptr<PersistentStoreCoordinator> persistentStoreCoordinator();
    // The shared context of the main thread.
    ManagedObjectContext *managedObjectContext();
    // A context for one background job. With `mergesIntoMainContext`, each
    // of its saves is merged into the shared context on the main thread
    // (queued, so a main thread waiting for the job cannot deadlock).
    std::unique_ptr<ManagedObjectContext> newManagedObjectContext(bool mergesIntoMainContext = true);
    // Merges another context's save into the shared context on the main
    // thread and returns when it is done (at once on the main thread).
    void mergeChangesIntoMainContext(const ContextDidSaveNotification &notification);

    // Start-up: initCacheDirectory, then initDownloadsBook. False when the
    // store is unusable: a fatal alert is up and its button ends the
    // program, so start-up must go no further.
    bool setup();
    // Finds the downloads book or creates and saves it.
    bool initDownloadsBook();
    // A record of the shared context. Another context finds its own copy
    // with objectWithID(downloadsBook()->objectID()).
    std::shared_ptr<Book> downloadsBook() const;
    // Closes the store and forgets the shared context and the downloads
    // book; the next use opens the store of the home tree MyDirectories
    // names then. For tests that give every case a fresh tree. Records of
    // the old shared context keep their values but leave it.
    void closeStore();

    // Saves the shared context; a failure shows CoreDataFatalErrorAlert and
    // leaves the changes in the context for a later save.
    std::optional<Error> save();
    std::optional<Error> saveInManagedObjectContext(ManagedObjectContext &context);

    // ---- Record creation: new, unsaved; the shared context when none is given.
    std::shared_ptr<Book> createBookWithTitle(const QString &title, const QString &rootTitle,
                                              ManagedObjectContext *managedObjectContext = nullptr);
    // The caller sets the book.
    std::shared_ptr<Chapter> createChapterWithTitle(const QString &title, const Decimal &number,
                                                    int expectedNumberOfPages, bool isComplete,
                                                    ManagedObjectContext *managedObjectContext = nullptr);
    // The caller adds it to the downloads book.
    std::shared_ptr<Download> createDownloadWithRootTitle(const QString &rootTitle, const QString &bookTitle,
                                                          const QString &chapterTitle,
                                                          const QString &firstPageURL,
                                                          const Decimal &chapterNumber, const QDateTime &date,
                                                          int expectedNumberOfPages);
    std::shared_ptr<Page> createPageWithUrlString(const QString &urlString, int number, double width,
                                                  double height,
                                                  ManagedObjectContext *managedObjectContext = nullptr);
    // A copy with the same file name, so a moved file keeps matching.
    std::shared_ptr<Page> createPageWithPage(const Page &page, ManagedObjectContext *managedObjectContext);
    std::shared_ptr<Favorite> createFavoriteWithTitle(const QString &title, const QString &urlString,
                                                      const QString &rootURLString, const QString &rootTitle);

    static QString createUUID();
    // "007.jpg" for page 7 of a URL whose extension is exactly "jpg" or
    // "png"; a UUID without extension otherwise or without a number.
    static QString createPageUUIDWithUrlString(const QString &urlString, std::optional<int> number);

    // ---- Paths and files (the layout of the images directory)
    QString bookDirectory(const Book &book) const;
    // Empty, after the fatal alert "Error!" / "Book for chapter is nil",
    // for a chapter without a book.
    QString chapterDirectory(const Chapter &chapter) const;
    QString pageFileName(const Page &page) const;
    bool createChapterDirectory(const Chapter &chapter);
    void initCacheDirectory();
    // Creates the chapter directory and replaces the page's file
    // atomically: a reader never sees half an image. A failure is shown
    // with the file alert and, when asked, handed back for the page's record.
    bool writeData(const QByteArray &data, const Page &page, std::optional<Error> *error = nullptr);
    // Never removes the downloads book's directory.
    void removeBookDirectory(const Book &book);
    void removeChapterDirectory(const Chapter &chapter);
    void removeDirectory(const QString &path);
    // Moves the plain files of `path` into the chapter's directory. False,
    // after the file alert, when a file stayed behind; the others still move.
    bool moveDataFromPath(const QString &path, const Chapter &toChapter);
    bool moveDataFromChapter(const Chapter &fromChapter, const Chapter &toChapter);
    // The same between two existing folders.
    bool moveFiles(const QString &fromDirectory, const QString &toDirectory);

    // True for a page that arrived whole: downloaded, with a size.
    static bool didDownloadImage(const Page &page);

private:
    ManagedObjectContext *contextOrShared(ManagedObjectContext *context);
    std::shared_ptr<ManagedObjectContext> sharedContext();

    mutable std::mutex mutex_;
    std::shared_ptr<PersistentStoreCoordinator> coordinator_;
    std::shared_ptr<ManagedObjectContext> context_;
    std::shared_ptr<Book> downloadsBook_;
    QString downloadsBookUuid_;
};
