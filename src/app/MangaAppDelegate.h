#pragma once

#include <memory>

#include <QList>
#include <QObject>
#include <QString>

#include "app/AppOptions.h"
#include "ui/internet/NavScreenContext.h"
#include "ui/kit/ScreenServices.h"

class AppData;
class AppleReachability;
class AppWindow;
class BooksViewController;
class Chapter;
class PagesViewController;
class DimmerView;
class Download;
class DownloadsMoverQueueWrapper;
class HomeTreeLock;
class MyUserDefaults;
class NavigationController;
class QLabel;
class RemovePathsQueueWrapper;
class StartUpParts;
class TabBarController;
class ViewController;
class WaitOverlayView;

// The root of the running application. It starts everything in a fixed
// order, owns the window with its tab bar and navigation stacks, saves the
// settings and the screen position when the application leaves the
// foreground, and offers the services every screen uses: the downloads
// badge, the wait overlay and the dimmer.
//
// The handheld application events arrive here as follows:
// - didFinishLaunching: main() after the QApplication exists;
// - didEnterBackground: the window is minimised or hidden (AppWindow);
// - willEnterForeground: the window is restored or shown again (AppWindow);
//   besides the badge recount it marks the run unclean again, since a
//   desktop program keeps running while minimised;
// - willTerminate: the event loop is quitting (QCoreApplication::aboutToQuit),
//   which closing the window, the session's SIGTERM/SIGHUP and Ctrl+C all lead
//   to (QuitSignals); it saves the store and then does what entering the
//   background does;
// - didBecomeActive / willResignActive: window focus changes, which need
//   nothing.
// A run that ends otherwise (SIGKILL, a crash) never saves, so "cleanAppExit"
// stays NO and the next start restores no position.
//
// Thread contract: main thread only; background work hands over first.
class MangaAppDelegate : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MangaAppDelegate)

public:
    explicit MangaAppDelegate(AppOptions options, QObject *parent = nullptr);
    ~MangaAppDelegate() override;

    // Tests give each simulated run its own store facade, settings and
    // later-built start-up parts; by default the shared ones are used.
    void setAppData(AppData *appData) { appData_ = appData; }
    void setUserDefaults(MyUserDefaults *userDefaults) { userDefaults_ = userDefaults; }
    void setStartUpParts(std::unique_ptr<StartUpParts> parts);

    // The start-up sequence. The window is built but not shown. False when
    // another program uses the home tree or the store could not be opened: a
    // fatal alert is up, whose button ends the program, and nothing further
    // was started.
    bool applicationDidFinishLaunching();
    void applicationDidEnterBackground();
    void applicationWillEnterForeground();
    void applicationWillTerminate();

    const AppOptions &options() const { return options_; }
    AppWindow *window() const { return window_.get(); }
    TabBarController *tabBarController() const { return tabBarController_; }
    NavigationController *internetNavigationController() const { return internetNavigationController_; }
    NavigationController *downloadsNavigationController() const { return downloadsNavigationController_; }
    NavigationController *booksNavigationController() const { return booksNavigationController_; }
    BooksViewController *booksViewController() const { return booksViewController_; }
    NavigationController *documentsNavigationController() const { return documentsNavigationController_; }
    NavigationController *settingsNavigationController() const { return settingsNavigationController_; }
    StartUpParts *startUpParts() const { return startUpParts_.get(); }
    AppleReachability *internetReachability() const { return internetReachability_.get(); }
    AppleReachability *wifiReachability() const { return wifiReachability_.get(); }
    MyUserDefaults &userDefaults() const;
    AppData &appData() const;

    // What the screens are given: the settings, the store, the URL opener
    // and the dimmer of this run.
    ScreenServices screenServices();
    // What the Internet tab's screens are given.
    NavScreenContext navScreenContext();
    // The screen the user sees (the top of the selected tab's stack, or what
    // is presented over it); null before the window is built.
    ViewController *topScreen() const;

    // Opens the viewer on a stored chapter over the library tab, as the
    // library's chapter list does (no save button, no delete entries).
    PagesViewController *openChapter(std::shared_ptr<Chapter> chapter);
    // `--open-chapter`: false, after printing why, when the library has no
    // such chapter.
    bool openChapterNamed(const QString &bookTitle, const QString &number);

    // A later start of the program on this home tree handed over its
    // arguments (SingleInstance): the window comes forward, restored if it
    // was minimised, and a chapter named by --open-chapter opens in it.
    void handleOpenArguments(const QStringList &arguments);

    // The library screens keep this up to date as the user moves: the row of
    // the open book and of the open chapter, -1 for none.
    QList<int> &booksRestoreLocation() { return booksRestoreLocation_; }

    // The downloads badge on the Downloads tab.
    void incrementDownloadsBadgeNumber();
    void decrementDownloadsBadgeNumber();
    void setDownloadsBadgeWithInteger(int n);
    // Recounts the downloads that are active or waiting.
    void setBadgeWithDownloads();
    QString downloadsBadgeValue() const;

    // The wait overlay.
    void showWaitOverlayWithTitle(const QString &text);
    void showWaitOverlay();
    void hideWaitOverlay();
    QLabel *waitOverlayLabel() const;
    WaitOverlayView *waitOverlay() const { return waitOverlay_; }

    // The library's two queue wrappers, made by the engine's start-up.
    RemovePathsQueueWrapper *removePathsQueueWrapper() const;
    DownloadsMoverQueueWrapper *downloadsMoverQueueWrapper() const;

    // The dimmer.
    void setupDimmerView();
    void setDimmerAlpha(double alpha);
    DimmerView *dimmer() const { return dimmer_; }

    enum Tab { InternetTab = 0, DownloadsTab = 1, LibraryTab = 2, ImportTab = 3, SettingsTab = 4 };

private:
    void setupReachability();
    void setupUI();
    void addWaitOverlay();
    // The downloads screen is given the interrupted download that the
    // engine's start-up found.
    void offerToResumeDownload();
    void restoreLocation();
    void saveUserDefaults();
    // The screen on top writes what it holds back until it leaves (the
    // viewer's reading position), then the store is saved.
    void saveOnLeaving();
    void setDownloadsBadge(const QString &value);

    AppOptions options_;
    AppData *appData_ = nullptr;
    MyUserDefaults *userDefaults_ = nullptr;
    std::unique_ptr<StartUpParts> startUpParts_;
    std::unique_ptr<HomeTreeLock> homeTreeLock_; // held for the whole run
    std::shared_ptr<Download> downloadToResume_;
    std::shared_ptr<AppleReachability> internetReachability_;
    std::shared_ptr<AppleReachability> wifiReachability_;
    std::unique_ptr<AppWindow> window_;
    TabBarController *tabBarController_ = nullptr; // widgets below are owned by the window
    NavigationController *internetNavigationController_ = nullptr;
    NavigationController *downloadsNavigationController_ = nullptr;
    NavigationController *booksNavigationController_ = nullptr;
    BooksViewController *booksViewController_ = nullptr;
    NavigationController *documentsNavigationController_ = nullptr;
    NavigationController *settingsNavigationController_ = nullptr;
    WaitOverlayView *waitOverlay_ = nullptr;
    DimmerView *dimmer_ = nullptr;
    QList<int> booksRestoreLocation_{-1, -1};
};

// The application's delegate; null before one is made.
MangaAppDelegate *GetMangaAppDelegate();
