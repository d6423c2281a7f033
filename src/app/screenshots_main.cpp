// Renders the app's screens into PNG files, in the phone and the tablet
// layout, so that they can be looked at without running the app:
//     yomora-screenshots DIR [PREFIX...]
// Only the scenes whose names start with one of the PREFIXes are rendered
// when any is given. Each scene starts the app afresh on an empty home tree
// of its own; the screens register their scenes (see ScreenshotScene).
#include <algorithm>
#include <cstdio>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "app/AppWindow.h"
#include "app/MangaAppDelegate.h"
#include "app/screenshots/ScreenshotScene.h"
#include "files/MyDirectories.h"
#include "foundation/Alerts.h"
#include "foundation/UrlOpener.h"
#include "settings/MyUserDefaults.h"
#include "store/AppData.h"

namespace {

bool render(const ScreenshotScene &scene, Device::Idiom idiom, const QString &directory)
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
            ScreenshotScene::settle(50);
            scene.stage(app);
            ScreenshotScene::settle(900);
            const QString file = QDir(directory).filePath(
                QStringLiteral("%1-%2.png")
                    .arg(scene.name,
                         idiom == Device::Idiom::Pad ? QStringLiteral("tablet") : QStringLiteral("phone")));
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
    const QStringList prefixes = arguments.mid(2);
    if (!QDir().mkpath(directory)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(directory));
        return 1;
    }
    // Alerts would open windows of their own, which a window grab misses;
    // links would open a browser.
    Alerts::install(std::make_shared<AlertRecorder>());
    UrlOpener::install(std::make_shared<UrlOpenerRecorder>());

    std::vector<ScreenshotScene> scenes = ScreenshotScene::registry();
    std::sort(scenes.begin(), scenes.end(),
              [](const ScreenshotScene &a, const ScreenshotScene &b) { return a.name < b.name; });
    bool ok = true;
    for (const Device::Idiom idiom : {Device::Idiom::Phone, Device::Idiom::Pad}) {
        for (const ScreenshotScene &scene : scenes) {
            if (!prefixes.isEmpty() &&
                std::none_of(prefixes.begin(), prefixes.end(),
                             [&](const QString &prefix) { return scene.name.startsWith(prefix); }))
                continue;
            ok = render(scene, idiom, directory) && ok;
        }
    }
    return ok ? 0 : 1;
}
