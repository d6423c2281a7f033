#pragma once

#include <memory>

#include <QApplication>
#include <QImage>
#include <QString>

#include "app/AppOptions.h"
#include "app/AppWindow.h"
#include "app/MangaAppDelegate.h"
#include "foundation/Alerts.h"
#include "foundation/Device.h"
#include "settings/MyUserDefaults.h"
#include "store/AppData.h"

// Starting the application the way the screen benchmarks measure it: on
// Qt's offscreen platform, with alerts recorded rather than shown, each run
// on a root of the bench's choosing with a store facade and settings of its
// own, as a new process would have. Header-only: every bench/*.cpp is a
// program of its own.
namespace BenchApp {

// The QApplication of a screen benchmark; the platform has to be chosen
// before it exists.
inline std::unique_ptr<QApplication> application(int &argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto application = std::make_unique<QApplication>(argc, argv);
    Alerts::install(std::make_shared<AlertRecorder>());
    return application;
}

// Renders the window once everything posted meanwhile (layouts, a list
// brought up to date) has run: what a person would see first.
inline void paint(QWidget *window)
{
    QCoreApplication::sendPostedEvents();
    QImage canvas(window->size(), QImage::Format_RGB32);
    window->render(&canvas);
}

// One run of the application. The delegate goes before the store facade
// and the settings it was given.
struct Run {
    AppData appData;
    MyUserDefaults defaults;
    std::unique_ptr<MangaAppDelegate> app;

    // Launches on `root`, the window built but not shown. False when the
    // start-up failed.
    bool launch(const QString &root, Device::Idiom idiom = Device::Idiom::Phone)
    {
        AppOptions options;
        options.root = root;
        options.idiom = idiom;
        app = std::make_unique<MangaAppDelegate>(options);
        app->setAppData(&appData);
        app->setUserDefaults(&defaults);
        return app->applicationDidFinishLaunching();
    }
};

} // namespace BenchApp
