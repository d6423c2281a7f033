#include <gmock/gmock.h>

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>

#include "app/AppWindow.h"
#include "demo/DemoLibrary.h"
#include "files/MyDirectories.h"
#include "foundation/OperationQueue.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "store/Chapter.h"
#include "store/LibraryLookup.h"
#include "support/EventLoop.h"
#include "ie/zip/IEZipper.h"
#include "ui/AppRuns.h"
#include "ui/import/IEDocumentsViewController.h"
#include "ui/import/IEHelpViewController.h"
#include "ui/import/IEImportBookViewController.h"
#include "ui/import/IEImportChapterViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBar.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TableView.h"
#include "ui/kit/WaitOverlayView.h"

namespace {

// The store import writes into the shared store, so the screens are tested
// on it.
class ImportScreens : public testing::Test
{
protected:
    ImportScreens() : runs(Device::Idiom::Phone, true, AppRuns::Store::Shared) {}

    void SetUp() override
    {
        app = runs.start();
        documents = MyDirectories::sharedMyDirectories().documentDirectory();
        temporary = MyDirectories::sharedMyDirectories().temporaryDirectory();
        QDir().mkpath(documents);
    }

    IEDocumentsViewController *open()
    {
        app->tabBarController()->setSelectedIndex(MangaAppDelegate::ImportTab);
        auto *screen = qobject_cast<IEDocumentsViewController *>(
            app->documentsNavigationController()->rootViewController());
        screen->reloadFiles();
        return screen;
    }

    QStringList rows() const
    {
        QStringList out;
        TableView *table = screen->tableView();
        for (int row = 0; row < table->numberOfRows(0); ++row)
            out << table->cellForRow({0, row}).text;
        return out;
    }

    void tap(const QString &name) { screen->tableView()->tapRow({0, int(rows().indexOf(name))}); }

    // A zip of the folder `folder` holding, per chapter sub-folder, two
    // small pages; with no sub-folders the pages sit in the folder itself.
    QString writeZip(const QString &folder, const QStringList &chapters)
    {
        QStringList files, names;
        for (const QString &chapter : chapters.isEmpty() ? QStringList{QString()} : chapters) {
            for (int page = 1; page <= 2; ++page) {
                const QString file =
                    scratch.filePath(QStringLiteral("%1-%2.png").arg(files.size()).arg(page));
                QImage image(40, 60, QImage::Format_RGB32);
                image.fill(Qt::white);
                EXPECT_TRUE(image.save(file));
                files << file;
                names << folder + (chapter.isEmpty() ? QString() : u'/' + chapter) +
                             QStringLiteral("/%1.png").arg(page, 3, 10, QLatin1Char('0'));
            }
        }
        const QString zip = documents + u'/' + folder + QStringLiteral(".zip");
        EXPECT_TRUE(IEZipper::zipFiles(files, names, zip));
        return zip;
    }

    template <typename Screen> Screen *top() const
    {
        return qobject_cast<Screen *>(app->documentsNavigationController()->topViewController());
    }
    template <typename Screen> Screen *waitForTop() const
    {
        pumpEventsUntil([this] { return top<Screen>() != nullptr && !overlayUp(); });
        return top<Screen>();
    }
    bool overlayUp() const { return app->waitOverlay()->isVisible(); }
    bool temporaryEmpty() const
    {
        return QDir(temporary).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    // The clean-up has run and the overlay is down.
    bool cleanedUp() const
    {
        return pumpEventsUntil([this] {
                   return screen->removerQueue() && screen->removerQueue()->operationCount() == 0 &&
                          !overlayUp();
               }) &&
               temporaryEmpty();
    }
    QString lastMessage() const { return runs.alerts->isEmpty() ? QString() : runs.alerts->last().message; }

    AppRuns runs;
    MangaAppDelegate *app = nullptr;
    IEDocumentsViewController *screen = nullptr;
    QString documents, temporary;
    QTemporaryDir scratch;
};

TEST_F(ImportScreens, ZipOfTwoChaptersGoesThroughBothFormsIntoTheLibrary)
{
    writeZip(QStringLiteral("Blue_Sky_v3"), {QStringLiteral("ch1"), QStringLiteral("ch2")});
    screen = open();
    tap(QStringLiteral("Blue_Sky_v3.zip"));
    EXPECT_TRUE(overlayUp());
    auto *book = waitForTop<IEImportBookViewController>();
    ASSERT_TRUE(book);
    EXPECT_TRUE(app->tabBarController()->tabBar()->isHidden());
    // "ch1" names no book: the fields ask to be corrected.
    EXPECT_EQ(book->bookTextField()->text(), QStringLiteral("Title"));
    EXPECT_EQ(book->sourceTextField()->text(), QStringLiteral("Source"));

    book->bookTextField()->setText(QStringLiteral("   "));
    EXPECT_FALSE(book->next());
    EXPECT_EQ(lastMessage(), QStringLiteral("Fill in the manga title"));
    book->bookTextField()->setText(QStringLiteral(" Blue Sky "));
    book->sourceTextField()->setText(QString());
    EXPECT_FALSE(book->next());
    EXPECT_EQ(lastMessage(), QStringLiteral("Fill in a source"));
    EXPECT_EQ(top<IEImportBookViewController>(), book);
    book->sourceTextField()->setText(QStringLiteral("Team1"));
    book->nextButton()->trigger();

    auto *first = top<IEImportChapterViewController>();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->title(), QStringLiteral("Import Blue Sky"));
    EXPECT_EQ(first->tableView()->cellForRow({0, 0}).text, QStringLiteral("ch1"));
    EXPECT_TRUE(first->chapterNumberTextField()->text().isEmpty());
    EXPECT_FALSE(first->save());
    EXPECT_EQ(lastMessage(), QStringLiteral("Fill in a chapter number"));
    first->chapterNumberTextField()->setText(QStringLiteral("one"));
    EXPECT_FALSE(first->save());
    EXPECT_EQ(lastMessage(), QStringLiteral("Chapter must be a number"));
    first->chapterNumberTextField()->setText(QStringLiteral(" 1 "));
    first->volumeNumberTextField()->setText(QStringLiteral("3"));
    first->saveButton()->trigger();
    EXPECT_TRUE(overlayUp());

    // The next chapter's form replaces the first, with the same book.
    ASSERT_TRUE(pumpEventsUntil([&] {
        auto *next = top<IEImportChapterViewController>();
        return next && next != first && !overlayUp();
    }));
    auto *second = top<IEImportChapterViewController>();
    EXPECT_EQ(second->tableView()->cellForRow({0, 0}).text, QStringLiteral("ch2"));
    EXPECT_EQ(app->documentsNavigationController()->viewControllers().size(), 3u);
    second->chapterNumberTextField()->setText(QStringLiteral("2"));
    runs.alerts->clear();
    second->save();
    ASSERT_TRUE(pumpEventsUntil([&] { return !runs.alerts->isEmpty(); }));
    EXPECT_EQ(runs.alerts->last().title, QStringLiteral("Success"));
    EXPECT_EQ(lastMessage(), QStringLiteral("Imported Blue_Sky_v3.\nLook in the Library."));
    EXPECT_EQ(app->documentsNavigationController()->topViewController(), screen);
    EXPECT_TRUE(cleanedUp());
    EXPECT_TRUE(QFileInfo::exists(documents + QStringLiteral("/Blue_Sky_v3.zip")));

    const auto books = LibraryLookup::booksWithTitle(*runs.appData().managedObjectContext(),
                                                     QStringLiteral("Blue Sky"), QStringLiteral("Team1"));
    ASSERT_EQ(books.size(), 1u);
    QStringList chapters;
    for (const auto &chapter : books.front()->chapters())
        chapters << chapter->title() + u'=' + chapter->number()->toString() + u'/' +
                        QString::number(chapter->pages().size());
    chapters.sort();
    EXPECT_EQ(chapters,
              QStringList({QStringLiteral("Chapter 2=2/2"), QStringLiteral("Volume 3 Chapter 1=30001/2")}));
}

TEST_F(ImportScreens, RefusedChoicesStartNothingAndABrokenZipFails)
{
    for (const char *name : {"Chapter.ZIP", "notes.txt", "CoreData.sqlite", "toRemovePaths"}) {
        QFile file(documents + u'/' + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QDir().mkpath(documents + QStringLiteral("/a folder"));
    QFile broken(documents + QStringLiteral("/broken.zip"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a zip at all");
    broken.close();
    writeZip(QStringLiteral("Green_Hill_c001_[Team1]"), {});
    screen = open();
    // Bookkeeping files and folders are not the user's to import.
    EXPECT_EQ(rows(),
              QStringList({QStringLiteral("Chapter.ZIP"), QStringLiteral("Green_Hill_c001_[Team1].zip"),
                           QStringLiteral("broken.zip"), QStringLiteral("notes.txt")}));

    for (const QString &name : {QStringLiteral("Chapter.ZIP"), QStringLiteral("notes.txt")}) {
        tap(name);
        EXPECT_EQ(lastMessage(),
                  documents + u'/' + name + QStringLiteral(". Must be a zip file ending in .zip"));
        EXPECT_FALSE(screen->tableView()->indexPathForSelectedRow());
        EXPECT_FALSE(screen->importQueue());
    }

    runs.alerts->clear();
    tap(QStringLiteral("broken.zip"));
    ASSERT_TRUE(pumpEventsUntil([&] { return !runs.alerts->isEmpty(); }));
    EXPECT_EQ(runs.alerts->last().title, QStringLiteral("Failed"));
    EXPECT_EQ(lastMessage(), QStringLiteral("Error in unzipping"));
    EXPECT_FALSE(screen->tableView()->indexPathForSelectedRow());
    EXPECT_TRUE(cleanedUp());
    EXPECT_EQ(app->documentsNavigationController()->topViewController(), screen);

    // The parsed names prefill the forms.
    tap(QStringLiteral("Green_Hill_c001_[Team1].zip"));
    auto *book = waitForTop<IEImportBookViewController>();
    ASSERT_TRUE(book);
    EXPECT_EQ(book->bookTextField()->text(), QStringLiteral("Green Hill"));
    EXPECT_EQ(book->sourceTextField()->text(), QStringLiteral("Team1"));
    book->next();
    auto *chapter = top<IEImportChapterViewController>();
    ASSERT_TRUE(chapter);
    EXPECT_EQ(chapter->chapterNumberTextField()->text(), QStringLiteral("1"));
    EXPECT_TRUE(chapter->volumeNumberTextField()->text().isEmpty());
    chapter->cancel();
    EXPECT_TRUE(cleanedUp());

    DemoLibrary::createDownload(runs.appData(), QStringLiteral("Night Train"), QStringLiteral("13"), 3, 1);
    OperationQueue *previous = screen->importQueue();
    tap(QStringLiteral("Green_Hill_c001_[Team1].zip"));
    EXPECT_EQ(lastMessage(), QStringLiteral("Not while downloading"));
    EXPECT_EQ(screen->importQueue(), previous);
    EXPECT_FALSE(overlayUp());
    EXPECT_FALSE(screen->tableView()->indexPathForSelectedRow());
}

TEST_F(ImportScreens, EveryWayOutOfAnImportEmptiesTheTemporaryFolder)
{
    writeZip(QStringLiteral("Night_Train_c12_[demo]"), {});
    screen = open();
    const QString zipName = QStringLiteral("Night_Train_c12_[demo].zip");

    // Cancel on the book form.
    tap(zipName);
    auto *book = waitForTop<IEImportBookViewController>();
    ASSERT_TRUE(book);
    EXPECT_FALSE(temporaryEmpty());
    book->cancelButton()->trigger();
    EXPECT_EQ(app->documentsNavigationController()->topViewController(), screen);
    EXPECT_TRUE(cleanedUp());

    // Cancel on the chapter form.
    tap(zipName);
    book = waitForTop<IEImportBookViewController>();
    ASSERT_TRUE(book);
    book->next();
    top<IEImportChapterViewController>()->cancelButton()->trigger();
    EXPECT_EQ(app->documentsNavigationController()->topViewController(), screen);
    EXPECT_TRUE(cleanedUp());

    // The store import fails: a page went missing after the unpacking.
    tap(zipName);
    book = waitForTop<IEImportBookViewController>();
    ASSERT_TRUE(book);
    book->next();
    auto *chapter = top<IEImportChapterViewController>();
    ASSERT_TRUE(chapter);
    ASSERT_TRUE(QFile::remove(chapter->chapter().pages.last()));
    runs.alerts->clear();
    chapter->save();
    ASSERT_TRUE(pumpEventsUntil([&] { return !runs.alerts->isEmpty(); }));
    EXPECT_EQ(runs.alerts->last().title, QStringLiteral("Error"));
    EXPECT_EQ(app->documentsNavigationController()->topViewController(), screen);
    EXPECT_TRUE(cleanedUp());
    EXPECT_TRUE(app->tabBarController()->tabBar()->isVisible());
}

TEST_F(ImportScreens, EditModeDeletesOnlyTheChosenFileOrSaysWhyNot)
{
    for (const char *name : {"a.zip", "b.zip", "c.txt"}) {
        QFile file(documents + u'/' + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    screen = open();
    screen->setEditing(true);
    screen->tableView()->tapRow({0, 0});
    EXPECT_FALSE(screen->importQueue());
    screen->tableView()->tapDelete({0, 1});
    EXPECT_EQ(rows(), QStringList({QStringLiteral("a.zip"), QStringLiteral("c.txt")}));
    EXPECT_EQ(QDir(documents).entryList(QDir::Files),
              QStringList({QStringLiteral("a.zip"), QStringLiteral("c.txt")}));

    // Gone behind the screen's back: the row stays and the user is told.
    QFile::remove(documents + QStringLiteral("/c.txt"));
    screen->tableView()->tapDelete({0, 1});
    EXPECT_EQ(lastMessage(), QStringLiteral("Cannot delete ") + documents + QStringLiteral("/c.txt"));
    EXPECT_EQ(rows(), QStringList({QStringLiteral("a.zip"), QStringLiteral("c.txt")}));
    EXPECT_TRUE(QFileInfo::exists(documents + QStringLiteral("/a.zip")));
}

TEST_F(ImportScreens, DroppedZipsJoinTheListAndTheFolderAndHelpAreAtHand)
{
    screen = open();
    app->tabBarController()->setSelectedIndex(MangaAppDelegate::LibraryTab);
    const QString zip = scratch.filePath(QStringLiteral("Red_Moon_c45_[Team1].zip"));
    const QString text = scratch.filePath(QStringLiteral("cover.jpg"));
    for (const QString &path : {zip, text}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("dropped");
    }
    const auto drop = [this](const QString &path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        // A drop reaches the widget that took the drag's entry.
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(app->window(), &enter);
        QDropEvent event(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(app->window(), &event);
    };
    drop(zip);
    EXPECT_EQ(app->tabBarController()->selectedIndex(), int(MangaAppDelegate::ImportTab));
    EXPECT_EQ(rows(), QStringList({QStringLiteral("Red_Moon_c45_[Team1].zip")}));

    // Never over a file already there, and never a file that is not a zip.
    QFile::remove(zip);
    QFile file(zip);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("another");
    file.close();
    drop(zip);
    EXPECT_THAT(lastMessage().toStdString(), testing::HasSubstr("already in the documents folder"));
    QFile kept(documents + QStringLiteral("/Red_Moon_c45_[Team1].zip"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("dropped"));
    drop(text);
    EXPECT_EQ(lastMessage(), text + QStringLiteral(". Must be a zip file ending in .zip"));
    EXPECT_FALSE(QFileInfo::exists(documents + QStringLiteral("/cover.jpg")));

    screen->openFolderButton()->click();
    ASSERT_EQ(runs.links->urls().size(), 1u);
    EXPECT_EQ(runs.links->urls().front(), QUrl::fromLocalFile(documents));

    screen->helpButton()->trigger();
    auto *help = qobject_cast<IEHelpViewController *>(app->topScreen());
    ASSERT_TRUE(help);
    EXPECT_THAT(help->webView()->toPlainText().toStdString(), testing::HasSubstr(documents.toStdString()));
    help->doneButton()->trigger();
    EXPECT_EQ(app->topScreen(), screen);
}

} // namespace
