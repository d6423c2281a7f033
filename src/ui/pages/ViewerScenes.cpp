// The page viewer's scenes for yomora-screenshots, on the generated library.
#include "app/MangaAppDelegate.h"
#include "app/screenshots/ScreenshotScene.h"
#include "demo/DemoLibrary.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "store/Chapter.h"
#include "ui/pages/PagesViewController.h"

namespace {

PagesViewController *openViewer(MangaAppDelegate &app, int page)
{
    MyUserDefaults &defaults = app.userDefaults();
    // The menu stays until a scene hides it, and the first-use notice
    // has its own scene elsewhere.
    defaults.setBool(false, SettingsKeys::autoHideMenu);
    defaults.setBool(true, SettingsKeys::showPagesHelpViewed);
    ScreenshotScene::addDemoLibrary(app);
    auto chapter = DemoLibrary::chapter(app.appData(), QStringLiteral("Blue Harbor"), QStringLiteral("1"));
    chapter->setLastPageRead(page);
    PagesViewController *viewer = app.openChapter(chapter);
    ScreenshotScene::settle(300);
    return viewer;
}

const ScreenshotScene::Registrar scenes{
    {QStringLiteral("viewer-cropped"),
     [](MangaAppDelegate &app) {
         // Tablets show pages uncut unless asked.
         app.userDefaults().setBool(true, SettingsKeys::cropPage);
         PagesViewController *viewer = openViewer(app, 1);
         viewer->showMenuAndToolbar();
     }},
    {QStringLiteral("viewer-toolbar"), [](MangaAppDelegate &app) { openViewer(app, 2); }},
    {QStringLiteral("viewer-picker"),
     [](MangaAppDelegate &app) {
         PagesViewController *viewer = openViewer(app, 3);
         viewer->showPicker();
     }},
    {QStringLiteral("viewer-help"),
     [](MangaAppDelegate &app) {
         PagesViewController *viewer = openViewer(app, 0);
         app.userDefaults().setBool(false, SettingsKeys::showPagesHelpViewed);
         viewer->autoHideTimer()->start(0);
     }},
};

} // namespace
