#pragma once

#include <memory>

#include <QObject>
#include <QString>

#include "app/AppOptions.h"

class DimmerView;
class NavigationController;
class QLabel;
class QWidget;
class TabBarController;
class ViewController;
class WaitOverlayView;

// The root of the running application: it starts everything in order, owns
// the window with its tab bar and navigation stacks, and offers the services
// every screen uses (downloads badge, wait overlay, dimmer).
// Thread contract: main thread only; background work hands over first.
class MangaAppDelegate : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MangaAppDelegate)

public:
    explicit MangaAppDelegate(AppOptions options, QObject *parent = nullptr);
    ~MangaAppDelegate() override;

    // The start-up sequence; the window is built but not shown.
    void applicationDidFinishLaunching();

    const AppOptions &options() const { return options_; }
    QWidget *window() const { return window_.get(); }
    TabBarController *tabBarController() const { return tabBarController_; }
    NavigationController *internetNavigationController() const { return internetNavigationController_; }
    NavigationController *downloadsNavigationController() const { return downloadsNavigationController_; }
    NavigationController *booksNavigationController() const { return booksNavigationController_; }
    NavigationController *documentsNavigationController() const { return documentsNavigationController_; }
    NavigationController *settingsNavigationController() const { return settingsNavigationController_; }

    // The downloads badge on the Downloads tab.
    void incrementDownloadsBadgeNumber();
    void decrementDownloadsBadgeNumber();
    void setDownloadsBadgeWithInteger(int n);
    QString downloadsBadgeValue() const;

    // The wait overlay.
    void showWaitOverlayWithTitle(const QString &text);
    void showWaitOverlay();
    void hideWaitOverlay();
    QLabel *waitOverlayLabel() const;
    WaitOverlayView *waitOverlay() const { return waitOverlay_; }

    // The dimmer.
    void setupDimmerView();
    void setDimmerAlpha(double alpha);
    DimmerView *dimmer() const { return dimmer_; }

    enum Tab { InternetTab = 0, DownloadsTab = 1, LibraryTab = 2, ImportTab = 3, SettingsTab = 4 };

private:
    void setupUI();
    void addWaitOverlay();
    void setDownloadsBadge(const QString &value);

    AppOptions options_;
    std::unique_ptr<QWidget> window_;
    TabBarController *tabBarController_ = nullptr; // widgets below are owned by the window
    NavigationController *internetNavigationController_ = nullptr;
    NavigationController *downloadsNavigationController_ = nullptr;
    NavigationController *booksNavigationController_ = nullptr;
    NavigationController *documentsNavigationController_ = nullptr;
    NavigationController *settingsNavigationController_ = nullptr;
    WaitOverlayView *waitOverlay_ = nullptr;
    DimmerView *dimmer_ = nullptr;
};

// The application's delegate; null before one is made.
MangaAppDelegate *GetMangaAppDelegate();
