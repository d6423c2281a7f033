// The library screens' scenes for yomora-screenshots, on the generated library.
#include "app/MangaAppDelegate.h"
#include "app/screenshots/ScreenshotScene.h"
#include "demo/DemoLibrary.h"
#include "foundation/Decimal.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "store/Chapter.h"
#include "ui/kit/TabBarController.h"
#include "ui/library/BooksViewController.h"
#include "ui/library/ChaptersViewController.h"

namespace {

void openLibrary(MangaAppDelegate &app)
{
    ScreenshotScene::addDemoLibrary(app);
    app.tabBarController()->setSelectedIndex(MangaAppDelegate::LibraryTab);
    ScreenshotScene::settle(50);
}

// Blue Harbor as a reader leaves it: the first chapter read through, the
// second open, the third not started, and a run of later chapters, one of
// them still incomplete, so every kind of row shows.
void markReading(MangaAppDelegate &app)
{
    AppData &data = app.appData();
    auto first = DemoLibrary::chapter(data, QStringLiteral("Blue Harbor"), QStringLiteral("1"));
    auto second = DemoLibrary::chapter(data, QStringLiteral("Blue Harbor"), QStringLiteral("2"));
    first->setLastPageRead(5);
    second->setLastPageRead(2);
    const auto book = first->book();
    book->setLastChapterNumberRead(Decimal(20));
    for (int number = 4; number <= 9; ++number) {
        auto chapter = data.createChapterWithTitle(QStringLiteral("Blue Harbor %1").arg(number),
                                                   Decimal(number), 20, number != 6);
        chapter->setBook(book);
        chapter->setLastPageRead(-1);
    }
    data.save();
}

ChaptersViewController *openBlueHarbor(MangaAppDelegate &app, bool withHelp)
{
    if (!withHelp)
        app.userDefaults().setBool(true, SettingsKeys::showChaptersHelpViewer);
    openLibrary(app);
    markReading(app);
    BooksViewController *books = app.booksViewController();
    books->fetchBooks();
    int row = 0;
    while (row < int(books->books().size()) && books->books()[row]->title() != u"Blue Harbor")
        ++row;
    ChaptersViewController *chapters = books->pushChaptersForRow(row);
    ScreenshotScene::settle(withHelp ? 600 : 50);
    return chapters;
}

const ScreenshotScene::Registrar scenes{
    {QStringLiteral("library-books"), [](MangaAppDelegate &app) { openLibrary(app); }},
    {QStringLiteral("library-chapters"), [](MangaAppDelegate &app) { openBlueHarbor(app, false); }},
    {QStringLiteral("library-chapters-edit"),
     [](MangaAppDelegate &app) {
         ChaptersViewController *chapters = openBlueHarbor(app, false);
         chapters->setEditing(true);
         ScreenshotScene::settle(50);
     }},
    {QStringLiteral("library-chapters-help"), [](MangaAppDelegate &app) { openBlueHarbor(app, true); }},
};

} // namespace
