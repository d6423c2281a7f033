#include "app/screenshots/ScreenshotScene.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include "app/MangaAppDelegate.h"
#include "demo/DemoLibrary.h"

std::vector<ScreenshotScene> &ScreenshotScene::registry()
{
    static std::vector<ScreenshotScene> scenes;
    return scenes;
}

ScreenshotScene::Registrar::Registrar(std::initializer_list<ScreenshotScene> scenes)
{
    for (const ScreenshotScene &scene : scenes)
        registry().push_back(scene);
}

void ScreenshotScene::settle(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void ScreenshotScene::addDemoLibrary(MangaAppDelegate &app)
{
    DemoLibrary::create(app.appData());
}
