#include <gmock/gmock.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include "app/AppOptions.h"
#include "app/AppWindow.h"
#include "app/MangaAppDelegate.h"
#include "files/MyDirectories.h"
#include "settings/MyUserDefaults.h"
#include "store/AppData.h"
#include "ui/kit/DimmerView.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBar.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TabBarItem.h"
#include "ui/kit/WaitOverlayView.h"

namespace {

// The application started on a root of its own, with its own store and settings.
struct Launched {
    QTemporaryDir root;
    std::unique_ptr<AppData> appData;
    MyUserDefaults defaults;
    std::unique_ptr<MangaAppDelegate> delegate;

    MangaAppDelegate *get() const { return delegate.get(); }
    ~Launched() { MyDirectories::setRootDirectory({}); }
};

std::unique_ptr<Launched> launch(Device::Idiom idiom = Device::Idiom::Phone)
{
    auto app = std::make_unique<Launched>();
    MyDirectories::setRootDirectory(app->root.path());
    AppOptions options;
    options.idiom = idiom;
    options.root = app->root.path();
    app->appData = std::make_unique<AppData>();
    app->delegate = std::make_unique<MangaAppDelegate>(options);
    app->delegate->setAppData(app->appData.get());
    app->delegate->setUserDefaults(&app->defaults);
    EXPECT_TRUE(app->delegate->applicationDidFinishLaunching());
    app->delegate->window()->show();
    return app;
}

TEST(AppShell, WindowOpensWithFiveTabsEachAStackUnderABlackBar)
{
    auto launched = launch();
    MangaAppDelegate *app = launched->get();
    EXPECT_EQ(GetMangaAppDelegate(), app);
    EXPECT_EQ(app->window()->size(), QSize(320, 480));
    TabBarController *tabs = app->tabBarController();
    ASSERT_EQ(tabs->count(), 5);
    EXPECT_EQ(tabs->selectedIndex(), 0);
    const QStringList titles = {QStringLiteral("Internet"), QStringLiteral("Downloads"),
                                QStringLiteral("Library"), QStringLiteral("Import"),
                                QStringLiteral("Settings")};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tabs->tabBar()->item(i)->title(), titles[i]);
        auto *nav = qobject_cast<NavigationController *>(tabs->viewController(i));
        ASSERT_NE(nav, nullptr);
        EXPECT_EQ(nav->topViewController()->title(), titles[i]);
        EXPECT_EQ(nav->navigationBar()->barStyle(), NavigationBar::Style::Black);
    }
    EXPECT_EQ(app->downloadsNavigationController(), tabs->viewController(MangaAppDelegate::DownloadsTab));
    EXPECT_EQ(app->booksNavigationController(), tabs->viewController(MangaAppDelegate::LibraryTab));
    EXPECT_TRUE(tabs->viewController(0)->isOnScreen());
}

TEST(AppShell, PadWindowIsTabletSized)
{
    auto launched = launch(Device::Idiom::Pad);
    MangaAppDelegate *app = launched->get();
    EXPECT_EQ(app->window()->size(), QSize(768, 1024));
    EXPECT_TRUE(Device::isPad());
    Device::setIdiom(Device::Idiom::Phone);
}

TEST(AppShell, WindowShapeIsTheOrientationAndRotateTurnsIt)
{
    AppWindow window;
    int changes = 0;
    QObject::connect(&window, &AppWindow::orientationDidChange, [&] { ++changes; });
    window.resize(320, 480);
    window.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(Device::isPortrait(Device::orientation()));

    window.rotate();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(480, 320));
    EXPECT_FALSE(Device::isPortrait(Device::orientation()));

    window.resize(400, 400); // square: unchanged
    QCoreApplication::processEvents();
    EXPECT_FALSE(Device::isPortrait(Device::orientation()));
    window.resize(300, 500);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Device::isPortrait(Device::orientation()));
    EXPECT_GE(changes, 2);
}

TEST(AppShell, DownloadsBadgeArithmetic)
{
    auto launched = launch();
    MangaAppDelegate *app = launched->get();
    TabBarItem *item = app->tabBarController()->tabBar()->item(MangaAppDelegate::DownloadsTab);
    EXPECT_EQ(item->badgeValue(), QString());
    app->incrementDownloadsBadgeNumber(); // empty counts as 0
    EXPECT_EQ(item->badgeValue(), QStringLiteral("1"));
    app->decrementDownloadsBadgeNumber();
    EXPECT_EQ(item->badgeValue(), QString());
    app->decrementDownloadsBadgeNumber(); // never below nothing
    EXPECT_EQ(item->badgeValue(), QString());
    app->setDownloadsBadgeWithInteger(0); // an explicit zero is shown
    EXPECT_EQ(item->badgeValue(), QStringLiteral("0"));
    app->setDownloadsBadgeWithInteger(12);
    app->incrementDownloadsBadgeNumber();
    EXPECT_EQ(item->badgeValue(), QStringLiteral("13"));
}

TEST(AppShell, WaitOverlayAndDimmer)
{
    auto launched = launch();
    MangaAppDelegate *app = launched->get();
    WaitOverlayView *overlay = app->waitOverlay();
    EXPECT_TRUE(overlay->isHidden());
    EXPECT_EQ(app->waitOverlayLabel()->text(), QStringLiteral("Please wait..."));
    app->showWaitOverlayWithTitle(QStringLiteral("Processing 1/9"));
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_EQ(overlay->geometry(), app->window()->rect());
    app->waitOverlayLabel()->setText(QStringLiteral("Processing 2/9"));

    // The keyboard, like the mouse, stops at the overlay: no typing and no
    // shortcut (an accepted override) reaches the screens underneath.
    auto *field = new QLineEdit(app->window());
    auto type = [field](const QString &text) {
        QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Left, Qt::AltModifier);
        override.ignore();
        QCoreApplication::sendEvent(field, &override);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, text);
        QCoreApplication::sendEvent(field, &press);
        return override.isAccepted();
    };
    EXPECT_TRUE(type(QStringLiteral("a")));
    EXPECT_EQ(field->text(), QString());

    app->hideWaitOverlay();
    EXPECT_TRUE(overlay->isHidden());
    EXPECT_EQ(app->waitOverlayLabel()->text(), QStringLiteral("Please wait..."));
    EXPECT_FALSE(type(QStringLiteral("b")));
    EXPECT_EQ(field->text(), QStringLiteral("b"));

    DimmerView *dimmer = app->dimmer();
    EXPECT_EQ(dimmer->alpha(), 0.0);
    EXPECT_TRUE(dimmer->testAttribute(Qt::WA_TransparentForMouseEvents));
    app->setDimmerAlpha(0.4);
    EXPECT_DOUBLE_EQ(dimmer->alpha(), 0.4);
    app->window()->resize(400, 600);
    EXPECT_EQ(dimmer->geometry(), app->window()->rect());
}

struct OptionsCase {
    QStringList arguments;
    bool ok;
    QString root;
    Device::Idiom idiom;
};

TEST(AppOptions, ParsesRootAndIdiom)
{
    const QString y = QStringLiteral("yomora");
    const std::vector<OptionsCase> cases = {
        {{y}, true, QString(), Device::Idiom::Phone},
        {{y, QStringLiteral("--root"), QStringLiteral("/tmp/r"), QStringLiteral("--idiom"),
          QStringLiteral("pad")},
         true,
         QStringLiteral("/tmp/r"),
         Device::Idiom::Pad},
        {{y, QStringLiteral("--root=/tmp/s"), QStringLiteral("--idiom=phone")},
         true,
         QStringLiteral("/tmp/s"),
         Device::Idiom::Phone},
        {{y, QStringLiteral("--root")}, false, {}, {}},
        {{y, QStringLiteral("--idiom"), QStringLiteral("watch")}, false, {}, {}},
        {{y, QStringLiteral("--colour")}, false, {}, {}},
    };
    for (const OptionsCase &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        QString error;
        const auto options = AppOptions::parse(c.arguments, &error);
        ASSERT_EQ(options.has_value(), c.ok);
        if (!c.ok) {
            EXPECT_TRUE(error.contains(QStringLiteral("usage:")));
            continue;
        }
        EXPECT_EQ(options->root, c.root);
        EXPECT_EQ(options->idiom, c.idiom);
    }
}

} // namespace
