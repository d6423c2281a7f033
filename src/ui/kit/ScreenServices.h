#pragma once

#include <functional>

#include <QList>

class AppData;
class MyUserDefaults;
class UrlOpener;

// What a screen uses of the application, handed to it by whoever creates
// it (the application delegate, a test, another screen), so that no screen
// reaches for the application delegate and a test can give a screen its own
// store and settings.
// Thread contract: main thread only.
struct ScreenServices {
    MyUserDefaults *userDefaults = nullptr;
    AppData *appData = nullptr;
    UrlOpener *urlOpener = nullptr;
    // Darkens the whole window: 0 clear to 1 black.
    std::function<void(double alpha)> setDimmerAlpha;
    // The library's screen position (book row, chapter row; -1 for none),
    // kept by the library screens for the next start; null when nobody keeps it.
    QList<int> *booksRestoreLocation = nullptr;
};
