#include <memory>

#include <gmock/gmock.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>

#include <QDateTime>

#include "app/AppWindow.h"
#include "app/MangaAppDelegate.h"
#include "download/LibraryQueues.h"
#include "files/MyDirectories.h"
#include "foundation/Alerts.h"
#include "foundation/Device.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "store/BooksRequest.h"
#include "store/DownloadsRequest.h"
#include "ui/kit/DimmerView.h"
#include "ui/kit/MyHelpAlertViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/Slider.h"
#include "ui/kit/Switch.h"
#include "ui/kit/TabBar.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TableView.h"
#include "ui/kit/WaitOverlayView.h"
#include "ui/settings/SettingsViewController.h"
#include "ui/AppRuns.h"

namespace {

using Runs = AppRuns;
using Row = SettingsViewController::Row;

template <typename Control> Control *controlAt(SettingsViewController *screen, IndexPath path)
{
    return qobject_cast<Control *>(screen->tableView()->cellForRow(path).accessoryView.data());
}

QStringList rowTexts(SettingsViewController *screen, int section)
{
    QStringList texts;
    for (int row = 0; row < screen->tableView()->numberOfRows(section); ++row)
        texts << screen->tableView()->cellForRow({section, row}).text;
    return texts;
}

TEST(SettingsScreen, RowsFollowTheDeviceAndItsSwipeGestures)
{
    const QStringList firstFour = {QStringLiteral("Crop page"), QStringLiteral("Autohide menu"),
                                   QStringLiteral("Autosave to library"),
                                   QStringLiteral("Autolock viewer when in landscape")};
    struct Case {
        Device::Idiom idiom;
        bool swipe;
        QStringList switches;
        int sliders;
    };
    const Case cases[] = {
        {Device::Idiom::Phone, false, firstFour, 1},
        {Device::Idiom::Phone, true, firstFour + QStringList{QStringLiteral("Disable tap to next page")}, 1},
        {Device::Idiom::Pad, false, firstFour + QStringList{QStringLiteral("White background in viewer")}, 2},
        {Device::Idiom::Pad, true,
         firstFour + QStringList{QStringLiteral("Disable tap to next page"),
                                 QStringLiteral("White background in viewer")},
         2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.idiom == Device::Idiom::Pad ? "pad" : "phone") << " swipe " << c.swipe);
        Runs runs(c.idiom, c.swipe);
        runs.start();
        SettingsViewController *screen = runs.openSettings();
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->title(), QStringLiteral("Settings"));
        TableView *table = screen->tableView();
        ASSERT_EQ(table->numberOfSections(), 4);
        EXPECT_EQ(rowTexts(screen, 0), c.switches);
        for (int row = 0; row < table->numberOfRows(0); ++row)
            EXPECT_NE(controlAt<Switch>(screen, {0, row}), nullptr);
        EXPECT_EQ(table->numberOfRows(1), c.sliders);
        EXPECT_EQ(rowTexts(screen, 2), QStringList({QStringLiteral("Clean up downloads"),
                                                    QStringLiteral("Save downloads to library")}));
        EXPECT_EQ(table->cellForRow({2, 0}).buttonTitle, QStringLiteral("Delete"));
        EXPECT_EQ(table->cellForRow({2, 1}).buttonTitle, QStringLiteral("Save"));
        EXPECT_EQ(table->numberOfRows(3), 1);
        EXPECT_EQ(screen->heightForRow({0, 0}), 44);
        EXPECT_EQ(screen->heightForRow({3, 0}), 132);
        // Nothing here is selectable.
        table->tapRow({0, 0});
        EXPECT_FALSE(table->indexPathForSelectedRow().has_value());
    }
}

TEST(SettingsScreen, UninstallNoticeNamesTheRealHomeDirectory)
{
    Runs runs;
    runs.start();
    SettingsViewController *screen = runs.openSettings();
    EXPECT_EQ(
        screen->tableView()->cellForRow({3, 0}).text,
        QStringLiteral("*Important* To completely remove the app, delete all mangas before uninstalling.  "
                       "(or remove ") +
            MyDirectories::sharedMyDirectories().homeDirectory() + u')');
}

TEST(SettingsScreen, SwitchesShowTheirSettingAndWriteItAtOnce)
{
    Runs runs;
    runs.start();
    SettingsViewController *screen = runs.openSettings();
    auto *cropPage = controlAt<Switch>(screen, {0, 0});
    auto *autoSave = controlAt<Switch>(screen, {0, 2});
    auto *swipe = controlAt<Switch>(screen, {0, 4});
    ASSERT_TRUE(cropPage && autoSave && swipe);
    EXPECT_TRUE(cropPage->isChecked()); // a phone crops by default
    EXPECT_FALSE(autoSave->isChecked());

    autoSave->click();
    swipe->click();
    cropPage->click();
    EXPECT_EQ(runs.stored(SettingsKeys::autoSaveToLibrary), QVariant(true));
    EXPECT_EQ(runs.stored(SettingsKeys::enableSwipeToNextPage), QVariant(true));
    EXPECT_EQ(runs.stored(SettingsKeys::cropPage), QVariant(false));

    // A change made elsewhere shows when the screen comes back.
    runs.app()->tabBarController()->setSelectedIndex(0);
    runs.defaults().setBool(false, SettingsKeys::autoSaveToLibrary);
    runs.openSettings();
    EXPECT_FALSE(autoSave->isChecked());

    // Written at once, so even a run that ends without saving keeps it.
    runs.start();
    screen = runs.openSettings();
    EXPECT_FALSE(controlAt<Switch>(screen, {0, 0})->isChecked());
    EXPECT_TRUE(controlAt<Switch>(screen, {0, 4})->isChecked());
}

TEST(SettingsScreen, BrightnessSliderDrivesTheDimmerUntilTheNextStart)
{
    Runs runs;
    MangaAppDelegate *app = runs.start();
    SettingsViewController *screen = runs.openSettings();
    auto *slider = controlAt<Slider>(screen, {1, 0});
    ASSERT_NE(slider, nullptr);
    EXPECT_DOUBLE_EQ(slider->doubleValue(), 1.0);

    slider->setDoubleValue(0.0);
    EXPECT_NEAR(runs.defaults().floatForKey(SettingsKeys::dimmerAlpha), 0.3, 1e-9);
    EXPECT_NEAR(app->dimmer()->alpha(), 0.3, 1e-9);
    slider->setDoubleValue(0.5);
    EXPECT_NEAR(app->dimmer()->alpha(), 0.15, 1e-9);
    // Moving it does not write the file; leaving the foreground does.
    EXPECT_EQ(runs.stored(SettingsKeys::dimmerAlpha).toDouble(), 0.0);
    app->applicationDidEnterBackground();
    EXPECT_NEAR(runs.stored(SettingsKeys::dimmerAlpha).toDouble(), 0.15, 1e-9);

    // The slider reads the stored value back when the screen comes again.
    app->tabBarController()->setSelectedIndex(0);
    runs.openSettings();
    EXPECT_NEAR(slider->doubleValue(), 0.5, 1e-3);

    app = runs.start();
    screen = runs.openSettings();
    EXPECT_EQ(app->dimmer()->alpha(), 0.0);
    EXPECT_DOUBLE_EQ(controlAt<Slider>(screen, {1, 0})->doubleValue(), 1.0);
    controlAt<Slider>(screen, {1, 0})->setDoubleValue(1.0 - 1e-3);
    EXPECT_NEAR(app->dimmer()->alpha(), 0.0003, 1e-6);
}

TEST(SettingsScreen, PageSizeSliderStoresOnlyTheStepItSnapsTo)
{
    Runs runs(Device::Idiom::Pad);
    runs.start();
    SettingsViewController *screen = runs.openSettings();
    ASSERT_EQ(screen->rowAt({1, 1}), Row::PageSize);
    Slider *pageSize = nullptr;
    for (Slider *candidate : screen->findChildren<Slider *>()) {
        if (candidate != controlAt<Slider>(screen, {1, 0}))
            pageSize = candidate;
    }
    ASSERT_NE(pageSize, nullptr);
    EXPECT_NEAR(pageSize->doubleValue(), 0.7, 1e-9); // the tablet's default
    EXPECT_EQ(screen->sliderLabel()->text(), QStringLiteral("Fit to page"));

    pageSize->setDoubleValue(0.8);
    EXPECT_EQ(screen->sliderLabel()->text(), QStringLiteral("Fit to width"));
    EXPECT_EQ(runs.stored(SettingsKeys::portraitPageSize), QVariant(1.0));
    // Within one step nothing is written: a value set but not yet written
    // stays out of the file.
    const QLatin1String unwritten("unwritten");
    runs.defaults().setBool(true, unwritten);
    pageSize->setDoubleValue(0.9);
    EXPECT_EQ(screen->sliderLabel()->text(), QStringLiteral("Fit to width"));
    EXPECT_FALSE(runs.stored(unwritten).isValid());

    pageSize->setDoubleValue(0.74);
    EXPECT_EQ(screen->sliderLabel()->text(), QStringLiteral("Fit to page"));
    EXPECT_EQ(runs.stored(SettingsKeys::portraitPageSize), QVariant(0.7));
    pageSize->setDoubleValue(0.3);
    EXPECT_EQ(screen->sliderLabel()->text(), QStringLiteral("Smaller"));
    EXPECT_EQ(runs.stored(SettingsKeys::portraitPageSize), QVariant(0.4));
    pageSize->setDoubleValue(0.1);
    EXPECT_EQ(screen->sliderLabel()->text(), QStringLiteral("Smallest"));
    EXPECT_EQ(runs.stored(SettingsKeys::portraitPageSize), QVariant(0.0));
}

TEST(SettingsScreen, ControlsShowOnlyOverTheirRowsOnScreen)
{
    Runs runs;
    MangaAppDelegate *app = runs.start();
    app->window()->rotate(); // landscape: the brightness row starts below the fold
    SettingsViewController *screen = runs.openSettings();
    QCoreApplication::processEvents();
    TableView *table = screen->tableView();
    auto *slider = controlAt<Slider>(screen, {1, 0});
    EXPECT_FALSE(slider->isVisible());
    table->scrollToRow({1, 0});
    EXPECT_TRUE(slider->isVisible());
    EXPECT_TRUE(table->listView()->viewport()->rect().contains(slider->geometry()));
    EXPECT_FALSE(controlAt<Switch>(screen, {0, 0})->isVisible());
}

TEST(SettingsScreen, HelpNoticeShowsOncePerRunUntilTicked)
{
    Runs runs;
    runs.start();
    SettingsViewController *screen = runs.openSettings();
    MyHelpAlertViewController *notice = screen->alertViewController();
    ASSERT_TRUE(notice->isShowing());
    EXPECT_EQ(notice->parentWidget(), screen);
    EXPECT_EQ(notice->geometry(), screen->rect());
    EXPECT_EQ(notice->opacity(), 0.0); // fades in a moment later
    EXPECT_EQ(notice->label()->text(), QStringLiteral("Did you know?"));
    EXPECT_EQ(notice->textView()->text(),
              QStringLiteral("-Autolock viewer when in landscape locks the orientation in landscape mode.\n"
                             "It doesn't autorotate the viewer."));

    // Dismissed without the tick: not again in this run...
    notice->okButton()->click();
    EXPECT_FALSE(notice->isShowing());
    EXPECT_EQ(runs.stored(SettingsKeys::showSettingsHelp), QVariant(true));
    runs.app()->tabBarController()->setSelectedIndex(0);
    runs.openSettings();
    EXPECT_FALSE(notice->isShowing());

    // ...but once at the next start, where the tick (or Space on it) and
    // Return dismiss it for good.
    runs.start();
    screen = runs.openSettings();
    notice = screen->alertViewController();
    ASSERT_TRUE(notice->isShowing());
    notice->checkboxButton()->click();
    EXPECT_TRUE(notice->isCheckboxSelected());
    notice->checkboxButton()->click();
    EXPECT_FALSE(notice->checkboxButton()->isChecked());
    notice->checkboxButton()->click();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(notice, &enter);
    EXPECT_FALSE(notice->isShowing());
    EXPECT_EQ(runs.stored(SettingsKeys::showSettingsHelp), QVariant(false));

    runs.start();
    screen = runs.openSettings();
    EXPECT_FALSE(screen->alertViewController()->isShowing());
}

TEST(SettingsScreen, WaitOverlayTakesKeysClicksAndTabSwitches)
{
    Runs runs;
    MangaAppDelegate *app = runs.start();
    SettingsViewController *screen = runs.openSettings();
    screen->alertViewController()->okButtonClicked();
    auto *autoHide = controlAt<Switch>(screen, {0, 1});
    ASSERT_TRUE(autoHide->isChecked());
    autoHide->setFocus();
    app->showWaitOverlay();
    QCoreApplication::processEvents();

    auto press = [](QWidget *widget, int key) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, QStringLiteral(" "));
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, QStringLiteral(" "));
        QCoreApplication::sendEvent(widget, &down);
        QCoreApplication::sendEvent(widget, &up);
    };
    auto click = [](QWidget *widget, QPoint pos) {
        const QPointF global = widget->mapToGlobal(QPointF(pos));
        QMouseEvent down(QEvent::MouseButtonPress, QPointF(pos), global, Qt::LeftButton, Qt::LeftButton, {});
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(pos), global, Qt::LeftButton, {}, {});
        QCoreApplication::sendEvent(widget, &down);
        QCoreApplication::sendEvent(widget, &up);
    };
    TabBar *tabBar = app->tabBarController()->tabBar();
    const QPoint firstTab(tabBar->width() / 10, tabBar->height() / 2);
    const QPoint switchCentre = autoHide->rect().center();

    press(autoHide, Qt::Key_Space);
    click(autoHide, switchCentre);
    click(tabBar, firstTab);
    EXPECT_TRUE(autoHide->isChecked());
    EXPECT_EQ(app->tabBarController()->selectedIndex(), int(MangaAppDelegate::SettingsTab));
    EXPECT_TRUE(screen->isOnScreen());

    // A screen presented under the overlay stays under it.
    screen->presentModalViewController(std::make_unique<ViewController>());
    QCoreApplication::processEvents();
    const QWidget *top = app->window()->childAt(app->window()->rect().center());
    EXPECT_TRUE(top == app->waitOverlay() || app->waitOverlay()->isAncestorOf(top));
    screen->dismissModalViewController();

    app->hideWaitOverlay();
    press(autoHide, Qt::Key_Space);
    EXPECT_FALSE(autoHide->isChecked());
    click(tabBar, firstTab);
    EXPECT_EQ(app->tabBarController()->selectedIndex(), 0);
}

// The bulk buttons work on the application's own store, as the movers and
// deleters do.
TEST(SettingsScreen, BulkButtonsAskFirstAndRefuseWhileADownloadIsBusy)
{
    Runs runs(Device::Idiom::Phone, true, Runs::Store::Shared);
    MangaAppDelegate *app = runs.start();
    AppData &data = app->appData();
    ManagedObjectContext &context = *data.managedObjectContext();
    auto add = [&](const QString &book, int number, bool complete, int lastPageRead) {
        auto download = data.createDownloadWithRootTitle(
            QStringLiteral("S"), book, QStringLiteral("%1 %2").arg(book).arg(number),
            QStringLiteral("http://x/1"), Decimal(number),
            QDateTime::currentDateTimeUtc().addSecs(-60 * number), 1);
        download->setBook(data.downloadsBook());
        download->setIsComplete(complete);
        download->setLastPageRead(lastPageRead);
        auto page = data.createPageWithUrlString(QStringLiteral("http://x/0.jpg"), 0, 1, 1);
        page->setChapter(download);
        data.writeData("page", *page);
        EXPECT_FALSE(data.save());
        return download;
    };
    auto titles = [&] {
        QStringList out;
        for (const auto &download : context.fetch<Download>(DownloadsRequest()))
            out << download->title();
        out.sort();
        return out;
    };
    for (int number : {3, 4, 5})
        add(QStringLiteral("A"), number, true, 0);
    SettingsViewController *screen = runs.openSettings();
    screen->alertViewController()->okButtonClicked();
    TableView *table = screen->tableView();
    AlertRecorder &alerts = *runs.alerts;
    // The run opened on the Internet tab, whose first visit shows the uninstall notice.
    alerts.clear();

    // Clean up: asks, does nothing on Cancel, keeps the highest on Ok.
    table->tapButton({2, 0});
    ASSERT_EQ(alerts.alerts().size(), 1u);
    EXPECT_EQ(alerts.last().title, QStringLiteral("Are you sure?"));
    EXPECT_EQ(alerts.last().message,
              QStringLiteral("Do you want to delete the lower numbered chapters in the Downloads folder?\n"
                             "Unread chapters and the highest chapter of each manga are not deleted."));
    alerts.press(0);
    EXPECT_EQ(titles().size(), 3);
    table->tapButton({2, 0});
    alerts.press(1);
    EXPECT_EQ(titles(), QStringList({QStringLiteral("A 5")}));
    EXPECT_TRUE(alerts.isEmpty());

    // A waiting download blocks both bulk actions.
    auto waiting = add(QStringLiteral("B"), 1, false, -1);
    waiting->setIsQueued(true);
    ASSERT_FALSE(data.save());
    table->tapButton({2, 0});
    alerts.press(1);
    EXPECT_EQ(alerts.last().message, QStringLiteral("Cannot delete in bulk while downloading"));
    alerts.clear();
    table->tapButton({2, 1});
    EXPECT_TRUE(alerts.last().message.startsWith(
        QStringLiteral("Do you want to save the completed downloads to the library?\n")));
    alerts.press(1);
    EXPECT_EQ(alerts.last().message, QStringLiteral("Cannot save to the library in bulk while downloading"));
    alerts.clear();
    EXPECT_EQ(titles().size(), 2);

    // Save: the completed download becomes a chapter of its library book.
    waiting->setIsQueued(false);
    ASSERT_FALSE(data.save());
    table->tapButton({2, 1});
    alerts.press(1);
    EXPECT_TRUE(alerts.isEmpty());
    EXPECT_EQ(titles(), QStringList({QStringLiteral("B 1")}));
    const auto books = context.fetch<Book>(BooksRequest(QStringLiteral("A"), QStringLiteral("S")));
    ASSERT_EQ(books.size(), 1u);
    ASSERT_EQ(books.front()->chapters().size(), 1u);
    EXPECT_EQ(books.front()->chapters().front()->title(), QStringLiteral("A 5"));
}

} // namespace
