#include "store/AppData.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFile>
#include <QSaveFile>

#include "files/FileFaults.h"
#include "files/MyDirectories.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"
#include "foundation/MainThread.h"
#include "foundation/Uuid.h"

namespace {

const QString FileErrorDomain = QStringLiteral("FileErrorDomain");

QString joined(const QString &directory, const QString &name)
{
    return directory + u'/' + name;
}

void reportFileError(const QString &message)
{
    FileManagerFatalAlertErrorAndDelegate(Error{FileErrorDomain, errno, message});
}

QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

AppData &AppData::sharedAppData()
{
    static AppData shared;
    return shared;
}

AppData::AppData() = default;

AppData::~AppData() = default;

std::shared_ptr<PersistentStoreCoordinator> AppData::persistentStoreCoordinator()
{
    std::lock_guard lock(mutex_);
    if (!coordinator_) {
        const QString path =
            joined(MyDirectories::sharedMyDirectories().applicationDocumentDirectory(), CoreDataName);
        coordinator_ = std::make_shared<PersistentStoreCoordinator>(path);
    }
    return coordinator_;
}

std::shared_ptr<ManagedObjectContext> AppData::sharedContext()
{
    auto coordinator = persistentStoreCoordinator();
    std::lock_guard lock(mutex_);
    if (!context_)
        context_ = std::make_shared<ManagedObjectContext>(coordinator);
    return context_;
}

ManagedObjectContext *AppData::managedObjectContext()
{
    return sharedContext().get();
}

ManagedObjectContext *AppData::contextOrShared(ManagedObjectContext *context)
{
    return context ? context : managedObjectContext();
}

std::unique_ptr<ManagedObjectContext> AppData::newManagedObjectContext(bool mergesIntoMainContext)
{
    auto context = std::make_unique<ManagedObjectContext>(persistentStoreCoordinator());
    if (mergesIntoMainContext) {
        std::weak_ptr<ManagedObjectContext> main = sharedContext();
        context->addDidSaveObserver(this, [main](const ContextDidSaveNotification &notification) {
            performOnMain([main, notification] {
                if (auto context = main.lock())
                    context->mergeChangesFromContextDidSaveNotification(notification);
            });
        });
    }
    return context;
}

void AppData::mergeChangesIntoMainContext(const ContextDidSaveNotification &notification)
{
    std::weak_ptr<ManagedObjectContext> main = sharedContext();
    performOnMainAndWait([main, &notification] {
        if (auto context = main.lock())
            context->mergeChangesFromContextDidSaveNotification(notification);
    });
}

bool AppData::setup()
{
    initCacheDirectory();
    return initDownloadsBook();
}

bool AppData::initDownloadsBook()
{
    ManagedObjectContext *context = managedObjectContext();
    const FetchRequest request(BookEntityName,
                               Predicate::predicateWithFormat(QStringLiteral("title=%@ and rootTitle=%@"),
                                                              {DownloadsBookName, DownloadsBookName}));
    std::optional<Error> error;
    auto books = context->fetch<Book>(request, &error);
    if (error) {
        // Without the downloads book nothing can run. The store file is left
        // as it is so that the user's library can still be recovered; where
        // it is goes to standard error, since the start-up migration may
        // have moved it there.
        std::fprintf(stderr, "Yomora cannot use the store %s: %s\n",
                     QFile::encodeName(persistentStoreCoordinator()->storePath()).constData(),
                     error->message.toLocal8Bit().constData());
        FatalAlertWithTitleAndMessage(localized("Error in saving data"),
                                      localized("Error in request for Downloads Book."));
        return false;
    }
    std::shared_ptr<Book> book;
    if (!books.empty()) {
        book = books.back();
    } else {
        book = createBookWithTitle(DownloadsBookName, DownloadsBookName);
    }
    {
        std::lock_guard lock(mutex_);
        downloadsBook_ = book;
        downloadsBookUuid_ = book->uuid();
    }
    if (books.empty())
        save();
    return true;
}

std::shared_ptr<Book> AppData::downloadsBook() const
{
    std::lock_guard lock(mutex_);
    return downloadsBook_;
}

void AppData::closeStore()
{
    std::lock_guard lock(mutex_);
    downloadsBook_.reset();
    downloadsBookUuid_.clear();
    context_.reset();
    coordinator_.reset();
}

std::optional<Error> AppData::save()
{
    return saveInManagedObjectContext(*managedObjectContext());
}

std::optional<Error> AppData::saveInManagedObjectContext(ManagedObjectContext &context)
{
    auto error = context.save();
    if (error)
        CoreDataFatalErrorAlert(*error);
    return error;
}

std::shared_ptr<Book> AppData::createBookWithTitle(const QString &title, const QString &rootTitle,
                                                   ManagedObjectContext *managedObjectContext)
{
    auto book = contextOrShared(managedObjectContext)->insertNewObject<Book>();
    book->setTitle(title);
    book->setRootTitle(rootTitle);
    book->setUuid(createUUID());
    return book;
}

std::shared_ptr<Chapter> AppData::createChapterWithTitle(const QString &title, const Decimal &number,
                                                         int expectedNumberOfPages, bool isComplete,
                                                         ManagedObjectContext *managedObjectContext)
{
    auto chapter = contextOrShared(managedObjectContext)->insertNewObject<Chapter>();
    chapter->setTitle(title);
    chapter->setNumber(number);
    chapter->setExpectedNumberOfPages(expectedNumberOfPages);
    chapter->setIsComplete(isComplete);
    chapter->setUuid(createUUID());
    return chapter;
}

std::shared_ptr<Download>
AppData::createDownloadWithRootTitle(const QString &rootTitle, const QString &bookTitle,
                                     const QString &chapterTitle, const QString &firstPageURL,
                                     const Decimal &chapterNumber, const QDateTime &date,
                                     int expectedNumberOfPages)
{
    auto download = managedObjectContext()->insertNewObject<Download>();
    download->setTitle(chapterTitle);
    download->setRootTitle(rootTitle);
    download->setBookTitle(bookTitle);
    download->setFirstPageURL(firstPageURL);
    download->setNumber(chapterNumber);
    download->setDate(date);
    download->setExpectedNumberOfPages(expectedNumberOfPages);
    download->setUuid(createUUID());
    return download;
}

std::shared_ptr<Page> AppData::createPageWithUrlString(const QString &urlString, int number, double width,
                                                       double height,
                                                       ManagedObjectContext *managedObjectContext)
{
    auto page = contextOrShared(managedObjectContext)->insertNewObject<Page>();
    page->setUrl(urlString);
    page->setNumber(number);
    page->setWidth(width);
    page->setHeight(height);
    page->setUuid(createPageUUIDWithUrlString(urlString, number));
    return page;
}

std::shared_ptr<Page> AppData::createPageWithPage(const Page &source,
                                                  ManagedObjectContext *managedObjectContext)
{
    auto page = contextOrShared(managedObjectContext)->insertNewObject<Page>();
    for (const char *key : {"url", "number", "errorString", "leftBorder", "rightBorder", "isGray",
                            "isDownloaded", "width", "height", "uuid"}) {
        const QString name = QString::fromLatin1(key);
        page->setValueForKey(name, source.valueForKey(name));
    }
    return page;
}

std::shared_ptr<Favorite> AppData::createFavoriteWithTitle(const QString &title, const QString &urlString,
                                                           const QString &rootURLString,
                                                           const QString &rootTitle)
{
    auto favorite = managedObjectContext()->insertNewObject<Favorite>();
    favorite->setTitle(title);
    favorite->setUrlString(urlString);
    favorite->setRootURLString(rootURLString);
    favorite->setRootTitle(rootTitle);
    return favorite;
}

QString AppData::createUUID()
{
    return ::createUUID();
}

QString AppData::createPageUUIDWithUrlString(const QString &urlString, std::optional<int> number)
{
    // The extension of the last path component of the text as it is, query
    // and all: "12.jpg?x" has the extension "jpg?x".
    const QString lastComponent = urlString.mid(urlString.lastIndexOf(u'/') + 1);
    const qsizetype dot = lastComponent.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : lastComponent.mid(dot + 1);
    if (number && (extension == QStringLiteral("jpg") || extension == QStringLiteral("png")))
        return QString::asprintf("%03d.", *number) + extension;
    return createUUID();
}

QString AppData::bookDirectory(const Book &book) const
{
    return joined(MyDirectories::sharedMyDirectories().imagesDirectory(), book.uuid());
}

QString AppData::chapterDirectory(const Chapter &chapter) const
{
    const auto book = chapter.book();
    if (!book) {
        FatalAlertWithTitleAndMessage(localized("Error!"), localized("Book for chapter is nil"));
        return QString();
    }
    return joined(bookDirectory(*book), chapter.uuid());
}

QString AppData::pageFileName(const Page &page) const
{
    const auto chapter = page.chapter();
    if (!chapter) {
        FatalAlertWithTitleAndMessage(localized("Error!"), localized("Book for chapter is nil"));
        return QString();
    }
    const QString directory = chapterDirectory(*chapter);
    return directory.isEmpty() ? QString() : joined(directory, page.uuid());
}

bool AppData::createChapterDirectory(const Chapter &chapter)
{
    if (!chapter.book()) {
        FatalAlertWithTitleAndMessage(localized("File Error"), localized("No book for chapter"));
        return false;
    }
    const QString directory = chapterDirectory(chapter);
    if (QFileInfo::exists(directory))
        return true;
    if (FileFaults::fails(FileFaults::Step::CreateFolder, directory) || !QDir().mkpath(directory)) {
        reportFileError(QStringLiteral("The folder \u201C%1\u201D could not be created.").arg(directory));
        return false;
    }
    return true;
}

void AppData::initCacheDirectory()
{
    const QString directory = MyDirectories::sharedMyDirectories().cacheDirectory();
    if (QFileInfo::exists(directory))
        return;
    if (!QDir().mkdir(directory))
        reportFileError(QStringLiteral("The folder \u201C%1\u201D could not be created.").arg(directory));
}

bool AppData::writeData(const QByteArray &data, const Page &page, std::optional<Error> *error)
{
    // `alert` is the alert's message; an empty one means the failure has
    // been shown already.
    const auto fail = [error](const QString &alert, const QString &reason) {
        const int code = errno;
        if (!alert.isEmpty())
            FatalAlertWithTitleAndMessage(localized("File Error"), alert);
        if (error)
            *error = Error{FileErrorDomain, code, reason};
        return false;
    };
    const QString couldNotWrite = localized("Could not write page");
    const auto chapter = page.chapter();
    if (!chapter)
        return fail(localized("No book for chapter"), localized("No book for chapter"));
    if (!createChapterDirectory(*chapter))
        return fail(QString(), couldNotWrite + QStringLiteral(": ") + systemReason());
    const QString path = pageFileName(page);
    if (FileFaults::fails(FileFaults::Step::WriteFile, path))
        return fail(couldNotWrite, couldNotWrite + QStringLiteral(": ") + systemReason());
    if (data.isEmpty()) {
        // An empty file is whole however it is cut short, so it needs neither
        // the temporary file nor the sync: a chapter's 300 placeholders are
        // made before its first request goes out.
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return true;
        return fail(couldNotWrite, couldNotWrite + QStringLiteral(": ") + file.errorString());
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return fail(couldNotWrite, couldNotWrite + QStringLiteral(": ") + file.errorString());
    return true;
}

void AppData::removeBookDirectory(const Book &book)
{
    {
        std::lock_guard lock(mutex_);
        if (!downloadsBookUuid_.isEmpty() && book.uuid() == downloadsBookUuid_)
            return;
    }
    removeDirectory(bookDirectory(book));
}

void AppData::removeChapterDirectory(const Chapter &chapter)
{
    const QString directory = chapterDirectory(chapter);
    if (!directory.isEmpty())
        removeDirectory(directory);
}

void AppData::removeDirectory(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    if (!QDir(path).removeRecursively())
        reportFileError(QStringLiteral("\u201C%1\u201D could not be removed.").arg(path));
}

bool AppData::moveDataFromPath(const QString &path, const Chapter &toChapter)
{
    const QString destination = chapterDirectory(toChapter);
    if (destination.isEmpty())
        return false;
    return moveFiles(path, destination);
}

bool AppData::moveFiles(const QString &fromDirectory, const QString &toDirectory)
{
    if (!QFileInfo(fromDirectory).isDir() || !QFileInfo(toDirectory).isDir())
        return false;
    QDir source(fromDirectory);
    if (!source.isReadable()) {
        reportFileError(QStringLiteral("The folder \u201C%1\u201D could not be read.").arg(fromDirectory));
        return false;
    }
    bool movedAll = true;
    const QStringList files = source.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : files) {
        const QString from = joined(fromDirectory, name);
        // rename() replaces a file of the same name in one step.
        if (FileFaults::fails(FileFaults::Step::MoveFile, from) ||
            std::rename(QFile::encodeName(from).constData(),
                        QFile::encodeName(joined(toDirectory, name)).constData()) != 0) {
            reportFileError(
                QStringLiteral("\u201C%1\u201D could not be moved: %2").arg(name, systemReason()));
            movedAll = false;
        }
    }
    return movedAll;
}

bool AppData::moveDataFromChapter(const Chapter &fromChapter, const Chapter &toChapter)
{
    const QString source = chapterDirectory(fromChapter);
    return !source.isEmpty() && moveDataFromPath(source, toChapter);
}

bool AppData::didDownloadImage(const Page &page)
{
    // A NaN size fails both comparisons, as it should.
    return page.isDownloaded() && page.height() > 0 && page.width() > 0;
}
