// Renders the app's screens into PNG files, in the phone and the tablet
// layout, so that they can be looked at without running the app:
//     yomora-screenshots DIR
// Each scene starts the app afresh on an empty home tree of its own and sets
// the screen up as a user would get there. Screens add their scenes below.
#include <cstdio>
#include <functional>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>

#include "app/AppWindow.h"
#include "app/MangaAppDelegate.h"
#include "files/MyDirectories.h"
#include "foundation/Alerts.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "store/AppData.h"
#include "ui/kit/Icons.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TableView.h"
#include "ui/settings/SettingsViewController.h"

namespace {

struct Scene {
    const char *name;
    std::function<void(MangaAppDelegate &)> stage;
};

// Every drawing, on the black bars and on a white row, at bar and tab sizes,
// so a reviewer can judge them before the screens that use them exist.
class IconSheet : public ViewController
{
public:
    IconSheet()
    {
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, QColor(0xdf, 0xe3, 0xe8));
        setPalette(palette);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const QStringList names = {
            QStringLiteral("tab-internet"), QStringLiteral("tab-downloads"), QStringLiteral("tab-library"),
            QStringLiteral("tab-import"),   QStringLiteral("tab-settings"),  QStringLiteral("pagebackward"),
            QStringLiteral("pageforward"),  QStringLiteral("viewlock"),      QStringLiteral("viewunlock"),
            QStringLiteral("action"),       QStringLiteral("reload"),        QStringLiteral("navinfobutton"),
            QStringLiteral("notice"),       QStringLiteral("check")};
        QPainter painter(this);
        const int rowHeight = 30;
        const qreal ratio = devicePixelRatioF();
        for (int i = 0; i < names.size(); ++i) {
            const QRect row(0, 8 + i * rowHeight, width(), rowHeight);
            painter.fillRect(QRect(0, row.top(), width() / 2, rowHeight), Qt::black);
            painter.fillRect(QRect(width() / 2, row.top(), width() - width() / 2, rowHeight), Qt::white);
            const QSize size(24, 24);
            const int y = row.top() + 3;
            painter.drawPixmap(6, y, Icons::pixmap(names[i], size, Qt::white, ratio));
            painter.drawPixmap(36, y, Icons::pixmap(names[i], size, QColor(0x3d, 0xa5, 0xff), ratio));
            painter.drawPixmap(66, y, Icons::pixmap(names[i], size, QColor(0xa0, 0xa0, 0xa0), ratio));
            painter.drawPixmap(width() / 2 + 6, y, Icons::pixmap(names[i], size, Qt::black, ratio));
            painter.drawPixmap(width() / 2 + 36, y,
                               Icons::pixmap(names[i], size, QColor(0x1f, 0x6f, 0xd6), ratio));
            painter.setPen(Qt::black);
            painter.drawText(QRect(width() / 2 + 66, row.top(), width() / 2 - 70, rowHeight),
                             Qt::AlignVCenter | Qt::AlignLeft, names[i]);
        }
    }
};

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

const std::vector<Scene> &scenes()
{
    static const std::vector<Scene> all = {
        {"internet", [](MangaAppDelegate &app) { app.tabBarController()->setSelectedIndex(0); }},
        {"downloads", [](MangaAppDelegate &app) { app.tabBarController()->setSelectedIndex(1); }},
        {"library", [](MangaAppDelegate &app) { app.tabBarController()->setSelectedIndex(2); }},
        {"import", [](MangaAppDelegate &app) { app.tabBarController()->setSelectedIndex(3); }},
        {"settings", [](MangaAppDelegate &app) { openSettings(app, false); }},
        {"settings-end",
         [](MangaAppDelegate &app) {
             openSettings(app, false);
             TableView *table = settingsScreen(app)->tableView();
             const int last = table->numberOfSections() - 1;
             table->scrollToRow({last, table->numberOfRows(last) - 1});
         }},
        {"settings-help", [](MangaAppDelegate &app) { openSettings(app, true); }},
        {"settings-help-landscape",
         [](MangaAppDelegate &app) {
             app.window()->rotate();
             openSettings(app, true);
         }},
        {"settings-dimmed",
         [](MangaAppDelegate &app) {
             openSettings(app, false);
             settingsScreen(app)->setBrightness(0.0);
         }},
        {"icons",
         [](MangaAppDelegate &app) {
             openSettings(app, false);
             settingsScreen(app)->presentModalViewController(std::make_unique<IconSheet>());
         }},
        {"wait-overlay",
         [](MangaAppDelegate &app) {
             openSettings(app, false);
             app.showWaitOverlayWithTitle(QStringLiteral("Processing 3/9"));
         }},
    };
    return all;
}

// Lets timers (the notice's fade, delayed layouts) run their course.
void settle(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool render(const Scene &scene, Device::Idiom idiom, const QString &directory)
{
    QTemporaryDir root;
    AppOptions options;
    options.idiom = idiom;
    options.root = root.path();
    AppData appData;
    MyUserDefaults defaults;
    bool ok = false;
    {
        MangaAppDelegate app(options);
        app.setAppData(&appData);
        app.setUserDefaults(&defaults);
        if (app.applicationDidFinishLaunching()) {
            app.window()->show();
            settle(50);
            scene.stage(app);
            settle(900);
            const QString file = QDir(directory).filePath(
                QStringLiteral("%1-%2.png")
                    .arg(idiom == Device::Idiom::Pad ? QStringLiteral("tablet") : QStringLiteral("phone"),
                         QString::fromLatin1(scene.name)));
            ok = app.window()->grab().save(file);
            std::printf("%s%s\n", qPrintable(file), ok ? "" : " (could not write)");
            app.window()->hide();
        }
    }
    MyDirectories::setRootDirectory({});
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const QString directory = arguments.size() > 1 ? arguments[1] : QStringLiteral("screenshots");
    if (!QDir().mkpath(directory)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(directory));
        return 1;
    }
    // Alerts would open windows of their own, which a window grab misses.
    Alerts::install(std::make_shared<AlertRecorder>());
    bool ok = true;
    for (const Device::Idiom idiom : {Device::Idiom::Phone, Device::Idiom::Pad}) {
        for (const Scene &scene : scenes())
            ok = render(scene, idiom, directory) && ok;
    }
    return ok ? 0 : 1;
}
