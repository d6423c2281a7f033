#include "app/MangaAppDelegate.h"

#include <cstdio>

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

#include "app/AppDownloadServices.h"
#include "app/AppFunctions.h"
#include "app/AppStartUpParts.h"
#include "app/AppWaitOverlay.h"
#include "app/AppWindow.h"
#include "app/StartUpParts.h"
#include "download/DeducerFetcher.h"
#include "download/DownloadManager.h"
#include "download/DownloadServices.h"
#include "download/EngineStartUp.h"
#include "download/LibraryQueues.h"
#include "files/HomeTreeLock.h"
#include "files/MyDirectories.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Decimal.h"
#include "foundation/Device.h"
#include "foundation/Localized.h"
#include "foundation/UrlOpener.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "settings/UserDefaultsSteps.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "store/DownloadsRequest.h"
#include "store/LibraryLookup.h"
#include "ui/downloads/DownloadsViewController.h"
#include "ui/import/IEDocumentsViewController.h"
#include "ui/kit/DimmerView.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TabBarItem.h"
#include "ui/kit/WaitOverlayView.h"
#include "ui/internet/NavRootViewController.h"
#include "ui/library/BooksViewController.h"
#include "ui/pages/LibraryPagesViewController.h"
#include "ui/settings/SettingsViewController.h"
#include "web/AppleReachability.h"

namespace {
MangaAppDelegate *theDelegate = nullptr;
}

MangaAppDelegate *GetMangaAppDelegate()
{
    return theDelegate;
}

MangaAppDelegate::MangaAppDelegate(AppOptions options, QObject *parent)
    : QObject(parent), options_(std::move(options)), startUpParts_(std::make_unique<AppStartUpParts>(*this))
{
    theDelegate = this;
}

MangaAppDelegate::~MangaAppDelegate()
{
    if (waitOverlay_)
        WaitOverlay::install(nullptr);
    if (theDelegate == this) {
        theDelegate = nullptr;
        // The engine must not reach a delegate that is gone.
        DownloadManager::sharedDownloadManager().setServices(std::make_shared<DownloadServices>());
    }
}

void MangaAppDelegate::setStartUpParts(std::unique_ptr<StartUpParts> parts)
{
    startUpParts_ = std::move(parts);
}

MyUserDefaults &MangaAppDelegate::userDefaults() const
{
    return userDefaults_ ? *userDefaults_ : MyUserDefaults::sharedMyUserDefaults();
}

AppData &MangaAppDelegate::appData() const
{
    return appData_ ? *appData_ : AppData::sharedAppData();
}

bool MangaAppDelegate::applicationDidFinishLaunching()
{
    Device::setIdiom(options_.idiom);

    DownloadManager &manager = DownloadManager::sharedDownloadManager();
    manager.setServices(std::make_shared<AppDownloadServices>(*this));
    auto engine = EngineStartUp::start(manager, options_.root, EngineStartUp::ResumeOffer::Take);
    if (engine.error) {
        // The store's own fatal alert has already been shown.
        if (engine.error->code == EngineStartUp::TreeInUse) {
            std::fprintf(stderr, "%s\n", engine.error->message.toLocal8Bit().constData());
            FatalAlertWithTitleAndMessage(engine.error->message, QString());
        }
        return false;
    }
    homeTreeLock_ = std::move(engine.lock);
    downloadToResume_ = std::move(engine.downloadToResume);
    booksRestoreLocation_ = loadUserDefaults(userDefaults());
    setupReachability();
    setupUI();
    restoreLocation();

    // Until a save on leaving the foreground says otherwise, this run counts
    // as one that did not end cleanly.
    userDefaults().setBool(false, SettingsKeys::cleanAppExit);
    userDefaults().synchronize();

    connect(window_.get(), &AppWindow::didEnterBackground, this,
            &MangaAppDelegate::applicationDidEnterBackground);
    connect(window_.get(), &AppWindow::willEnterForeground, this,
            &MangaAppDelegate::applicationWillEnterForeground);
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &MangaAppDelegate::applicationWillTerminate);
    return true;
}

void MangaAppDelegate::setupReachability()
{
    internetReachability_ = AppleReachability::reachabilityForInternetConnection();
    internetReachability_->startNotifier();
    wifiReachability_ = AppleReachability::reachabilityForLocalWiFi();
    wifiReachability_->startNotifier();
}

void MangaAppDelegate::setupUI()
{
    window_ = std::make_unique<AppWindow>();
    window_->setWindowTitle(QStringLiteral("Yomora"));
    if (Device::isPad())
        window_->resize(768, 1024);
    else
        window_->resize(320, 480);

    window_->setOrientationQuery([this](int orientation) {
        ViewController *top = topScreen();
        return !top || top->shouldAutorotateToInterfaceOrientation(orientation);
    });

    auto *layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    tabBarController_ = new TabBarController(window_.get());
    layout->addWidget(tabBarController_);

    auto addTab = [this](std::unique_ptr<ViewController> root, const char *imageName) {
        root->tabBarItem()->setImageName(QLatin1String(imageName));
        auto nav = std::make_unique<NavigationController>(std::move(root));
        nav->tabBarItem()->setImageName(QLatin1String(imageName));
        nav->navigationBar()->setBarStyle(NavigationBar::Style::Black);
        NavigationController *raw = nav.get();
        tabBarController_->addViewController(std::move(nav));
        return raw;
    };
    internetNavigationController_ =
        addTab(std::make_unique<NavRootViewController>(navScreenContext()), "tab-internet");
    downloadsNavigationController_ = addTab(
        std::make_unique<DownloadsViewController>(screenServices(), DownloadManager::sharedDownloadManager()),
        "tab-downloads");
    auto books = std::make_unique<BooksViewController>(screenServices());
    booksViewController_ = books.get();
    booksNavigationController_ = addTab(std::move(books), "tab-library");
    auto documents = std::make_unique<IEDocumentsViewController>(screenServices());
    // Zips dropped anywhere on the window go to the documents folder.
    documents->acceptDropsOn(window_.get());
    documentsNavigationController_ = addTab(std::move(documents), "tab-import");
    settingsNavigationController_ =
        addTab(std::make_unique<SettingsViewController>(screenServices()), "tab-settings");
    // A stored index the tab bar does not have leaves the first tab selected.
    tabBarController_->setSelectedIndex(int(userDefaults().integerForKey(SettingsKeys::lastTabVisited)));

    startUpParts_->setLibraryRestorer([this](const QList<int> &selection) {
        booksViewController_->restoreLocationWithSelectionArray(selection);
    });
    startUpParts_->createProgressViews();
    addWaitOverlay();
    // The engine rebuilt the wait queue before there was a tab to count it on.
    setBadgeWithDownloads();
    offerToResumeDownload();
    setupDimmerView();
}

void MangaAppDelegate::offerToResumeDownload()
{
    if (downloadToResume_ && !startUpParts_->doResumeDownload())
        startUpParts_->offerToResume(downloadToResume_);
    downloadToResume_.reset();
}

void MangaAppDelegate::restoreLocation()
{
    // After a run that did not end cleanly the settings already hold no
    // position, but the tab check keeps a crash from reopening its screen.
    if (!userDefaults().boolForKey(SettingsKeys::cleanAppExit))
        return;
    switch (userDefaults().integerForKey(SettingsKeys::lastTabVisited)) {
    case DownloadsTab:
        if (const int row = int(userDefaults().integerForKey(SettingsKeys::downloadsRestoreLocation));
            row >= 0)
            startUpParts_->restoreDownloadsLocation(row);
        break;
    case LibraryTab:
        if (booksRestoreLocation_.size() == 2 && booksRestoreLocation_[0] >= 0)
            startUpParts_->restoreLibraryLocation(booksRestoreLocation_);
        break;
    default:
        break;
    }
}

void MangaAppDelegate::saveUserDefaults()
{
    ::saveUserDefaults(userDefaults(), tabBarController_ ? tabBarController_->selectedIndex() : 0,
                       booksRestoreLocation_);
}

NavScreenContext MangaAppDelegate::navScreenContext()
{
    NavScreenContext context;
    context.services = screenServices();
    DownloadManager &manager = DownloadManager::sharedDownloadManager();
    context.booksFetcher = &manager.navBooksFetcherQueueWrapper();
    context.chaptersFetcher = &manager.navChaptersFetcherQueueWrapper();
    context.recentChaptersFetcher = &manager.navRecentChaptersFetcherQueueWrapper();
    context.deducerFetcher = &manager.deducerFetcher();
    context.reachable = [] { return CheckReachability(); };
    context.openChapterScreens();
    return context;
}

ScreenServices MangaAppDelegate::screenServices()
{
    ScreenServices services;
    services.userDefaults = &userDefaults();
    services.appData = &appData();
    services.urlOpener = &UrlOpener::instance();
    services.booksRestoreLocation = &booksRestoreLocation_;
    services.setDimmerAlpha = [this](double alpha) {
        if (dimmer_)
            setDimmerAlpha(alpha);
    };
    return services;
}

PagesViewController *MangaAppDelegate::openChapter(std::shared_ptr<Chapter> chapter)
{
    const auto book = chapter->book();
    auto viewer = std::make_unique<LibraryPagesViewController>(chapter, screenServices());
    viewer->setTitle(chapter->title());
    viewer->setBookTitle(book ? book->title() : QString());
    viewer->setShowSaveButton(false);
    viewer->setShowDeleteActionSheet(false);
    PagesViewController *raw = viewer.get();
    tabBarController_->setSelectedIndex(LibraryTab);
    booksNavigationController_->pushViewController(std::move(viewer));
    return raw;
}

bool MangaAppDelegate::openChapterNamed(const QString &bookTitle, const QString &number)
{
    const Decimal chapterNumber = Decimal::fromString(number);
    if (chapterNumber.isNaN()) {
        std::fprintf(stderr, "%s\n", qPrintable(localized("Chapter must be a number")));
        return false;
    }
    const auto book = LibraryLookup::bookWithTitle(*appData().managedObjectContext(), bookTitle);
    if (!book) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QStringLiteral("No book titled \"%1\" in the library").arg(bookTitle)));
        return false;
    }
    const auto chapter = LibraryLookup::chapterWithNumber(*book, chapterNumber);
    if (!chapter) {
        std::fprintf(
            stderr, "%s\n",
            qPrintable(
                QStringLiteral("No chapter %1 in \"%2\"").arg(chapterNumber.toString(), book->title())));
        return false;
    }
    openChapter(chapter);
    return true;
}

void MangaAppDelegate::handleOpenArguments(const QStringList &arguments)
{
    // A start that failed has no window; its fatal alert is what shows.
    if (!window_)
        return;
    window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->show();
    window_->raise();
    window_->activateWindow();
    QString error;
    const std::optional<AppOptions> options =
        AppOptions::parse(QStringList{QCoreApplication::applicationName()} + arguments, &error);
    if (!options) {
        std::fprintf(stderr, "%s", qPrintable(error));
        return;
    }
    if (!options->openBookTitle.isEmpty())
        openChapterNamed(options->openBookTitle, options->openChapterNumber);
}

ViewController *MangaAppDelegate::topScreen() const
{
    return tabBarController_ ? tabBarController_->topMostViewController() : nullptr;
}

void MangaAppDelegate::saveOnLeaving()
{
    if (ViewController *top = topScreen())
        top->applicationWillSave();
    // Errors are ignored: the program may be going whatever happens.
    if (appData().managedObjectContext()->hasChanges())
        appData().managedObjectContext()->save();
}

void MangaAppDelegate::applicationDidEnterBackground()
{
    // A minimised program may be ended without another word (a logout, the
    // machine shut down), so what is read so far is kept now.
    saveOnLeaving();
    saveUserDefaults();
}

void MangaAppDelegate::applicationWillEnterForeground()
{
    setBadgeWithDownloads();
    // A minimised desktop program keeps running rather than being suspended,
    // so once it is back in use a crash must again count as unclean: the
    // position saved on leaving is not to reopen a screen that then failed.
    userDefaults().setBool(false, SettingsKeys::cleanAppExit);
    userDefaults().synchronize();
}

void MangaAppDelegate::applicationWillTerminate()
{
    saveOnLeaving();
    saveUserDefaults();
}

void MangaAppDelegate::setDownloadsBadge(const QString &value)
{
    if (!tabBarController_)
        return;
    tabBarController_->viewController(DownloadsTab)->tabBarItem()->setBadgeValue(value);
}

QString MangaAppDelegate::downloadsBadgeValue() const
{
    if (!tabBarController_)
        return QString();
    return tabBarController_->viewController(DownloadsTab)->tabBarItem()->badgeValue();
}

void MangaAppDelegate::incrementDownloadsBadgeNumber()
{
    // An empty badge counts as 0.
    setDownloadsBadge(QString::number(downloadsBadgeValue().toInt() + 1));
}

void MangaAppDelegate::decrementDownloadsBadgeNumber()
{
    const int n = downloadsBadgeValue().toInt() - 1;
    setDownloadsBadge(n > 0 ? QString::number(n) : QString());
}

void MangaAppDelegate::setDownloadsBadgeWithInteger(int n)
{
    setDownloadsBadge(QString::number(n));
}

void MangaAppDelegate::setBadgeWithDownloads()
{
    int count = 0;
    for (const auto &download : appData().managedObjectContext()->fetch<Download>(DownloadsRequest())) {
        if (download->isDownloading() || download->isQueued())
            ++count;
    }
    setDownloadsBadge(count > 0 ? QString::number(count) : QString());
}

void MangaAppDelegate::addWaitOverlay()
{
    if (!waitOverlay_)
        waitOverlay_ = new WaitOverlayView(window_.get());
    WaitOverlay::install(std::make_shared<AppWaitOverlay>(this));
}

void MangaAppDelegate::showWaitOverlayWithTitle(const QString &text)
{
    waitOverlay_->showWithText(text);
}

void MangaAppDelegate::showWaitOverlay()
{
    showWaitOverlayWithTitle(WaitOverlayView::defaultText());
}

void MangaAppDelegate::hideWaitOverlay()
{
    waitOverlay_->hideAndReset();
}

RemovePathsQueueWrapper *MangaAppDelegate::removePathsQueueWrapper() const
{
    return LibraryQueues::removePathsQueueWrapper();
}

DownloadsMoverQueueWrapper *MangaAppDelegate::downloadsMoverQueueWrapper() const
{
    return LibraryQueues::downloadsMoverQueueWrapper();
}

QLabel *MangaAppDelegate::waitOverlayLabel() const
{
    return waitOverlay_->label();
}

void MangaAppDelegate::setupDimmerView()
{
    if (!dimmer_)
        dimmer_ = new DimmerView(window_.get());
    dimmer_->setAlpha(0.0);
    userDefaults().setFloat(0.0, SettingsKeys::dimmerAlpha);
}

void MangaAppDelegate::setDimmerAlpha(double alpha)
{
    dimmer_->setAlpha(alpha);
}
