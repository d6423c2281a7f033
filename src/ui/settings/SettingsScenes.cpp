// The settings screen's scenes for yomora-screenshots.
#include "app/AppWindow.h"
#include "app/MangaAppDelegate.h"
#include "app/screenshots/ScreenshotScene.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TableView.h"
#include "ui/settings/SettingsViewController.h"

namespace {

SettingsViewController *settingsScreen(MangaAppDelegate &app)
{
    return qobject_cast<SettingsViewController *>(app.settingsNavigationController()->rootViewController());
}

void openSettings(MangaAppDelegate &app, bool withHelp)
{
    // The notice shows once per run; a user who has seen it sees the screen.
    if (!withHelp)
        app.userDefaults().setBool(true, SettingsKeys::showSettingsHelpViewed);
    app.tabBarController()->setSelectedIndex(MangaAppDelegate::SettingsTab);
}

const ScreenshotScene::Registrar scenes{
    {QStringLiteral("settings"), [](MangaAppDelegate &app) { openSettings(app, false); }},
    {QStringLiteral("settings-end"),
     [](MangaAppDelegate &app) {
         openSettings(app, false);
         TableView *table = settingsScreen(app)->tableView();
         const int last = table->numberOfSections() - 1;
         table->scrollToRow({last, table->numberOfRows(last) - 1});
     }},
    {QStringLiteral("settings-help"), [](MangaAppDelegate &app) { openSettings(app, true); }},
    {QStringLiteral("settings-help-landscape"),
     [](MangaAppDelegate &app) {
         app.window()->rotate();
         openSettings(app, true);
     }},
    {QStringLiteral("settings-dimmed"),
     [](MangaAppDelegate &app) {
         openSettings(app, false);
         settingsScreen(app)->setBrightness(0.0);
     }},
};

} // namespace
