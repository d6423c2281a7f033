#pragma once

#include <functional>
#include <initializer_list>
#include <vector>

#include <QString>

class MangaAppDelegate;

// One picture of yomora-screenshots: a screen set up as a user would get
// there. Each screen registers its own scenes from a file of its own
// (<Screen>Scenes.cpp beside the screen, built into the screenshot program
// only) with a file-scope Registrar, so adding a screen never touches the
// renderer. A scene's name starts with its screen's name ("viewer-cropped");
// it is rendered once per layout into NAME-phone.png and NAME-tablet.png.
// Each scene gets a freshly launched app on an empty home tree of its own,
// its window shown.
struct ScreenshotScene {
    QString name;
    std::function<void(MangaAppDelegate &app)> stage;

    static std::vector<ScreenshotScene> &registry();

    struct Registrar {
        Registrar(std::initializer_list<ScreenshotScene> scenes);
    };

    // Lets timers (fades, delayed layouts, background decoding) run.
    static void settle(int milliseconds);
    // Fills the app's store with the generated library (DemoLibrary).
    static void addDemoLibrary(MangaAppDelegate &app);
};
