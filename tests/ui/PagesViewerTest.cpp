#include <memory>

#include <gmock/gmock.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QToolButton>

#include "app/AppOptions.h"
#include "app/AppWindow.h"
#include "demo/DemoLibrary.h"
#include "download/FetcherQueueWrapper.h"
#include "foundation/NotificationCenter.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "store/AppData.h"
#include "store/Download.h"
#include "store/Page.h"
#include "store/PagesData.h"
#include "support/EventLoop.h"
#include "ui/AppRuns.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/MyHelpAlertViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/NavigationItem.h"
#include "ui/kit/TabBarController.h"
#include "ui/pages/DownloadOnePageViewController.h"
#include "ui/pages/DownloadPagesViewController.h"
#include "ui/pages/OnePageViewController.h"
#include "ui/pages/PageImageView.h"
#include "ui/pages/PagePickerViewController.h"
#include "ui/pages/PagesScrollView.h"
#include "ui/pages/PagesViewController.h"
#include "ui/pages/PagesViewControllerDelegate.h"

namespace {

using Display = OnePageViewController::Display;

// A list that offers a fixed next chapter and remembers what it was told.
struct RecordingDelegate : PagesViewControllerDelegate {
    std::shared_ptr<Chapter> next;
    QStringList calls;
    bool pagesViewControllerHasNextChapter(PagesViewController *viewer) override
    {
        viewer->setNextChapter(next);
        return next != nullptr;
    }
    void pagesViewControllerWillGotoNextChapter(PagesViewController *) override
    {
        calls << QStringLiteral("next");
    }
    void pagesViewControllerSaveChapter(PagesViewController *) override { calls << QStringLiteral("save"); }
    void pagesViewControllerDeleteChapter(PagesViewController *) override
    {
        calls << QStringLiteral("delete");
    }
    void pagesViewControllerWillDisappear(PagesViewController *) override { calls << QStringLiteral("gone"); }
};

class PagesViewer : public testing::Test
{
protected:
    void SetUp() override
    {
        app = runs.start();
        // The help notice would sit over the page; it has its own tests.
        runs.defaults().setBool(true, SettingsKeys::showPagesHelpViewed);
        runs.defaults().setBool(false, SettingsKeys::autoHideMenu);
        DemoLibrary::create(runs.appData());
    }

    std::shared_ptr<Chapter> chapter(const char *book, const char *number)
    {
        return DemoLibrary::chapter(runs.appData(), QString::fromUtf8(book), QString::fromUtf8(number));
    }

    PagesViewController *open(const char *book = "Blue Harbor", const char *number = "1")
    {
        PagesViewController *viewer = app->openChapter(chapter(book, number));
        settle(viewer);
        return viewer;
    }

    // Decoding is off the main thread: a page counts once it is on screen.
    static void settle(PagesViewController *viewer)
    {
        EXPECT_TRUE(pumpEventsUntil([viewer] {
            return viewer->currentPageViewController()->display() != Display::Loading &&
                   viewer->currentPageViewController()->display() != Display::Nothing;
        }));
    }

    void key(PagesViewController *viewer, Qt::Key k)
    {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QCoreApplication::sendEvent(viewer, &press);
        settle(viewer);
    }

    void tap(PagesViewController *viewer, qreal x, qreal y)
    {
        viewer->navigate(QPointF(x * viewer->width(), y * viewer->height()));
        settle(viewer);
    }

    // A press and a release of `button` at `at`, as a click arrives.
    static void click(QWidget *widget, Qt::MouseButton button, QPoint at = {})
    {
        if (at.isNull())
            at = widget->rect().center();
        const QPointF global = widget->mapToGlobal(QPointF(at));
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, button, button, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, button, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &release);
    }

    static QStringList entries(PagesViewController *viewer)
    {
        viewer->showActionSheet();
        QStringList titles = viewer->actionSheet()->buttonTitles();
        return titles;
    }

    static void choose(PagesViewController *viewer, const QString &entry)
    {
        ActionSheet *sheet = viewer->actionSheet();
        sheet->press(int(sheet->buttonTitles().indexOf(entry)));
        settle(viewer);
    }

    AppRuns runs;
    MangaAppDelegate *app = nullptr;
};

TEST_F(PagesViewer, FlipsByEdgeTapsKeysAndSwipesWithinTheChapter)
{
    PagesViewController *viewer = open();
    ASSERT_EQ(viewer->pageCount(), 6);
    EXPECT_EQ(viewer->gotoItem()->text(), QStringLiteral("1 (6)"));

    tap(viewer, 0.1, 0.5); // the first page has nothing before it
    EXPECT_EQ(viewer->pageNumber(), 0);
    EXPECT_EQ(viewer->actionSheet(), nullptr);
    tap(viewer, 0.9, 0.5);
    tap(viewer, 0.5, 0.9);
    EXPECT_EQ(viewer->pageNumber(), 2);
    tap(viewer, 0.5, 0.1);
    EXPECT_EQ(viewer->pageNumber(), 1);
    EXPECT_EQ(viewer->currentPageViewController()->pageNumber(), 1);
    EXPECT_EQ(viewer->gotoItem()->text(), QStringLiteral("2 (6)"));

    key(viewer, Qt::Key_Right);
    key(viewer, Qt::Key_Space);
    key(viewer, Qt::Key_PageUp);
    EXPECT_EQ(viewer->pageNumber(), 2);
    key(viewer, Qt::Key_End);
    EXPECT_EQ(viewer->pageNumber(), 5);
    key(viewer, Qt::Key_Home);
    EXPECT_EQ(viewer->pageNumber(), 0);

    // A drag of more than 40 points over a page that is not zoomed.
    PagesScrollView *scroll = viewer->currentPageViewController()->scrollView();
    scroll->dragStarted({200, 200});
    scroll->dragMoved({150, 205});
    scroll->dragEnded({140, 205});
    settle(viewer);
    EXPECT_EQ(viewer->pageNumber(), 1);
    scroll = viewer->currentPageViewController()->scrollView();
    scroll->dragStarted({200, 200});
    scroll->dragEnded({230, 200}); // too short
    EXPECT_EQ(viewer->pageNumber(), 1);

    // The middle shows and hides the menu; the last page's edge opens the
    // end-of-chapter menu instead of flipping.
    EXPECT_TRUE(viewer->isMenuVisible());
    tap(viewer, 0.5, 0.5);
    EXPECT_FALSE(viewer->isMenuVisible());
    EXPECT_TRUE(app->booksNavigationController()->isNavigationBarHidden());
    key(viewer, Qt::Key_End);
    tap(viewer, 0.9, 0.5);
    EXPECT_EQ(viewer->pageNumber(), 5);
    ASSERT_NE(viewer->actionSheet(), nullptr);
}

TEST_F(PagesViewer, TheWheelGoesOnToTheNextPageOnlyPastThePageFoot)
{
    PagesViewController *viewer = open();
    PagesScrollView *scroll = viewer->currentPageViewController()->scrollView();
    // Zoomed in, the page is taller than the view and needs scrolling first.
    scroll->setZoomScale(scroll->minimumZoomScale() * 1.5);
    auto turn = [&](int notches) {
        PagesScrollView *target = viewer->currentPageViewController()->scrollView();
        const QPointF at = target->rect().center();
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120 * notches), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(target, &wheel);
        settle(viewer);
    };
    turn(1);
    EXPECT_EQ(viewer->pageNumber(), 0);
    EXPECT_GT(scroll->contentOffset().y(), 0);
    for (int i = 0; i < 200 && viewer->pageNumber() == 0; ++i)
        turn(1);
    EXPECT_EQ(viewer->pageNumber(), 1);
    EXPECT_EQ(viewer->currentPageViewController()->scrollView()->contentOffset(), QPointF(0, 0));
}

TEST_F(PagesViewer, AutoHideTimerHidesTheMenuAndOffersTheHelpNoticeOnce)
{
    runs.defaults().setBool(true, SettingsKeys::autoHideMenu);
    runs.defaults().setBool(false, SettingsKeys::showPagesHelpViewed);
    PagesViewController *viewer = open();
    ASSERT_TRUE(viewer->autoHideTimer()->isActive());
    EXPECT_EQ(viewer->autoHideTimer()->interval(), 4000);
    EXPECT_FALSE(viewer->alertViewController()->isShowing());
    viewer->autoHideTimer()->start(0);
    pumpEventsUntil([viewer] { return !viewer->isMenuVisible(); });
    EXPECT_FALSE(viewer->isMenuVisible());
    EXPECT_TRUE(viewer->alertViewController()->isShowing());
    viewer->alertViewController()->okButtonClicked();
    EXPECT_FALSE(viewer->alertViewController()->isShowing());
    EXPECT_TRUE(runs.defaults().boolForKey(SettingsKeys::showPagesHelpViewed));

    // Seen in this run, it is not offered again by a tap that stops the timer.
    tap(viewer, 0.5, 0.5);
    viewer->autoHideTimer()->start(4000);
    tap(viewer, 0.5, 0.5);
    EXPECT_FALSE(viewer->autoHideTimer()->isActive());
    EXPECT_FALSE(viewer->alertViewController()->isShowing());
}

TEST_F(PagesViewer, OpenChapterFindsAStoredChapterByTitleAndNumber)
{
    QString error;
    const auto options = AppOptions::parse({QStringLiteral("yomora"), QStringLiteral("--open-chapter"),
                                            QStringLiteral("night train"), QStringLiteral("12.5")},
                                           &error);
    ASSERT_TRUE(options);
    EXPECT_FALSE(AppOptions::parse(
        {QStringLiteral("yomora"), QStringLiteral("--open-chapter"), QStringLiteral("night train")}, &error));

    EXPECT_FALSE(app->openChapterNamed(QStringLiteral("Night Train"), QStringLiteral("12")));
    EXPECT_FALSE(app->openChapterNamed(QStringLiteral("Day Train"), QStringLiteral("12.5")));
    ASSERT_TRUE(app->openChapterNamed(options->openBookTitle, options->openChapterNumber));
    auto *viewer = qobject_cast<PagesViewController *>(app->booksNavigationController()->topViewController());
    ASSERT_NE(viewer, nullptr);
    settle(viewer);
    EXPECT_EQ(viewer->title(), QStringLiteral("Night Train 12.5"));
    EXPECT_EQ(viewer->pageCount(), 3);
    EXPECT_EQ(app->tabBarController()->selectedIndex(), MangaAppDelegate::LibraryTab);
}

TEST_F(PagesViewer, WithSwipeToNextPageEveryTapTogglesTheMenu)
{
    runs.defaults().setBool(true, SettingsKeys::enableSwipeToNextPage);
    PagesViewController *viewer = open();
    auto *slot = viewer->currentPageViewController();
    viewer->onePageViewControllerGotSingleTapAtPoint(slot, QPointF(viewer->width() * 0.95, 100));
    EXPECT_EQ(viewer->pageNumber(), 0);
    EXPECT_FALSE(viewer->isMenuVisible());
}

TEST_F(PagesViewer, ClicksBecomeSingleOrDoubleTapsByTheInjectedClock)
{
    PagesViewController *viewer = open();
    PageImageView *view = viewer->currentPageViewController()->imageView();
    ASSERT_NE(view, nullptr);
    auto clock = std::make_unique<ManualTapClock>();
    ManualTapClock *time = clock.get();
    view->setTapClock(std::move(clock));
    const QPoint middle =
        view->mapFromGlobal(viewer->mapToGlobal(QPoint(viewer->width() / 2, viewer->height() / 2)));

    click(view, Qt::LeftButton, middle);
    time->advance(299);
    EXPECT_TRUE(viewer->isMenuVisible()) << "reported before its 0.3 s";
    time->advance(1);
    EXPECT_FALSE(viewer->isMenuVisible());

    // A second click within 0.3 s zooms instead, and no single tap follows.
    click(view, Qt::LeftButton, middle);
    time->advance(200);
    click(view, Qt::LeftButton, middle);
    time->advance(1000);
    EXPECT_TRUE(viewer->currentPageViewController()->isZoomed());
    EXPECT_FALSE(viewer->isMenuVisible());

    // Two clicks further apart are two single taps.
    PagesScrollView *scroll = viewer->currentPageViewController()->scrollView();
    scroll->setZoomScale(scroll->minimumZoomScale());
    click(view, Qt::LeftButton, middle);
    time->advance(400);
    EXPECT_TRUE(viewer->isMenuVisible());

    // Another page shown in the same view meanwhile starts the count afresh:
    // a click on the page before neither fires late nor pairs with one on it.
    click(view, Qt::LeftButton, middle);
    time->advance(100);
    viewer->loadCurrentPage(1);
    ASSERT_TRUE(pumpEventsUntil([&] {
        return viewer->currentPageViewController()->display() == OnePageViewController::Display::Image;
    }));
    ASSERT_EQ(viewer->currentPageViewController()->imageView(), view);
    click(view, Qt::LeftButton, middle);
    time->advance(1000);
    EXPECT_FALSE(viewer->currentPageViewController()->isZoomed());
    EXPECT_FALSE(viewer->isMenuVisible()) << "one single tap, on this page";
}

TEST_F(PagesViewer, CropToggleAndUncropLastOneLoadAndOnlyWithCropPageOn)
{
    PagesViewController *viewer = open();
    OnePageViewController *slot = viewer->currentPageViewController();
    ASSERT_TRUE(slot->isCropped());
    const int cutWidth = slot->imageView()->page()->fullSize().width();

    click(slot->imageView(), Qt::RightButton);
    settle(viewer);
    EXPECT_FALSE(viewer->currentPageViewController()->isCropped());
    EXPECT_GT(viewer->currentPageViewController()->imageView()->page()->fullSize().width(), cutWidth);
    viewer->toggleCrop();
    settle(viewer);
    EXPECT_TRUE(viewer->currentPageViewController()->isCropped());

    // "Uncrop page" shows the page uncut once; away and back it is cut again.
    entries(viewer);
    choose(viewer, QStringLiteral("Uncrop page"));
    EXPECT_FALSE(viewer->currentPageViewController()->isCropped());
    key(viewer, Qt::Key_Right);
    key(viewer, Qt::Key_Left);
    EXPECT_TRUE(viewer->currentPageViewController()->isCropped());

    runs.defaults().setBool(false, SettingsKeys::cropPage);
    viewer->loadCurrentPage(0);
    settle(viewer);
    EXPECT_FALSE(viewer->currentPageViewController()->isCropped());
    viewer->toggleCrop();
    settle(viewer);
    EXPECT_FALSE(viewer->currentPageViewController()->isCropped());
}

TEST_F(PagesViewer, ZoomIsCarriedToTheNextPage)
{
    PagesViewController *viewer = open();
    PagesScrollView *scroll = viewer->currentPageViewController()->scrollView();
    scroll->setZoomScale(scroll->minimumZoomScale() * 1.5);
    key(viewer, Qt::Key_Right);
    EXPECT_NEAR(viewer->currentPageViewController()->relativeZoomScale(), 1.5, 0.01);

    scroll = viewer->currentPageViewController()->scrollView();
    scroll->setZoomScale(scroll->minimumZoomScale() * 1.005);
    EXPECT_FALSE(viewer->currentPageViewController()->isZoomed());
    key(viewer, Qt::Key_Right);
    EXPECT_FLOAT_EQ(viewer->currentPageViewController()->relativeZoomScale(), 1.0f);
}

TEST_F(PagesViewer, APageShownSmallIsDecodedSmallAndSharpenedInPlaceWhenZoomed)
{
    PagesViewController *viewer = open();
    // Taller than the screen at full width, a page comes first as the rows
    // on screen, then whole in their place.
    viewer->loader().clear();
    viewer->loadCurrentPage(2);
    OnePageViewController *first = viewer->currentPageViewController();
    // Event by event: the whole page follows the top within milliseconds.
    QElapsedTimer guard;
    guard.start();
    while (first->display() == Display::Loading && guard.elapsed() < 20000)
        QCoreApplication::processEvents();
    ASSERT_EQ(first->display(), Display::Image);
    EXPECT_FALSE(first->imageView()->page()->isWhole());
    const QRect firstGeometry = first->imageView()->geometry();
    ASSERT_TRUE(pumpEventsUntil([first] { return first->imageView()->page()->isWhole(); }));
    EXPECT_EQ(first->imageView()->geometry(), firstGeometry);

    // A phone shows every demo page narrower than its pixels; some are
    // decoded at half their size.
    OnePageViewController *slot = nullptr;
    for (int page = 0; page < viewer->pageCount() && !slot; ++page) {
        viewer->loadCurrentPage(page);
        settle(viewer);
        if (!viewer->currentPageViewController()->imageView()->page()->isFullSize())
            slot = viewer->currentPageViewController();
    }
    ASSERT_NE(slot, nullptr);
    const std::shared_ptr<const PageImage> small = slot->imageView()->page();
    EXPECT_EQ(small->image().format(), QImage::Format_Grayscale8) << "measured grey when it arrived";
    PagesScrollView *scroll = slot->scrollView();
    // Fitting reckons in the file's pixels, not the decoded ones.
    EXPECT_NEAR(scroll->minimumZoomScale() * small->fullSize().width(), scroll->width(), 1.0);

    scroll->setZoomScale(scroll->minimumZoomScale() * 1.8);
    const QRect zoomed = slot->imageView()->geometry();
    const QPointF offset = scroll->contentOffset();
    ASSERT_TRUE(pumpEventsUntil([slot] { return slot->imageView()->page()->isFullSize(); }));
    EXPECT_EQ(slot->imageView()->page()->fullSize(), small->fullSize());
    EXPECT_EQ(slot->imageView()->geometry(), zoomed) << "the sharper page moved";
    EXPECT_EQ(scroll->contentOffset(), offset);

    // The next page keeps the zoom, so it comes sharp at once.
    key(viewer, Qt::Key_Right);
    const OnePageViewController *next = viewer->currentPageViewController();
    EXPECT_GE(next->imageView()->page()->scale() * 1.0001, std::min(1.0, next->scrollView()->zoomScale()));
}

TEST_F(PagesViewer, PickerJumpsToTheChosenPage)
{
    PagesViewController *viewer = open();
    viewer->showPicker();
    PagePickerViewController *picker = viewer->pagePickerViewController();
    ASSERT_TRUE(viewer->pickerIsActive());
    EXPECT_EQ(picker->numberOfRows(), 6);
    EXPECT_EQ(picker->titleForRow(5), QStringLiteral("6"));
    EXPECT_EQ(picker->selectedRow(), 0);
    tap(viewer, 0.9, 0.5); // taps do not flip under the picker
    EXPECT_EQ(viewer->pageNumber(), 0);

    picker->selectRow(3);
    picker->done();
    settle(viewer);
    EXPECT_FALSE(viewer->pickerIsActive());
    EXPECT_EQ(viewer->pageNumber(), 3);
    viewer->showPicker();
    picker->selectRow(1);
    picker->cancel();
    EXPECT_EQ(viewer->pageNumber(), 3);
}

TEST_F(PagesViewer, EndOfChapterMenuFollowsTheChapterAndTheDelegate)
{
    const QStringList tail = {QStringLiteral("Uncrop page"), QStringLiteral("First page"),
                              QStringLiteral("Buy Amazon"), QStringLiteral("Cancel")};
    PagesViewController *viewer = open();
    EXPECT_EQ(entries(viewer), tail) << "a viewer without a delegate has no next chapter";
    choose(viewer, QStringLiteral("Buy Amazon"));
    ASSERT_EQ(runs.links->urls().size(), 1u);
    EXPECT_EQ(runs.links->urls()[0].toEncoded(),
              QByteArray("http://www.amazon.com/gp/aw/s/?k=Blue%20Harbor+manga&i=stripbooks"));

    RecordingDelegate delegate;
    viewer->setDelegate(&delegate);
    delegate.next = chapter("Blue Harbor", "2");
    EXPECT_EQ(entries(viewer), QStringList{QStringLiteral("Next chapter")} + tail);
    viewer->setShowDeleteActionSheet(true);
    EXPECT_EQ(entries(viewer),
              (QStringList{QStringLiteral("Next chapter"), QStringLiteral("Save and next chapter"),
                           QStringLiteral("Delete and next chapter")} +
               tail));
    delegate.next = nullptr;
    EXPECT_EQ(entries(viewer),
              (QStringList{QStringLiteral("Delete chapter"), QStringLiteral("Save chapter")} + tail));
    viewer->actionSheet()->press(viewer->actionSheet()->cancelButtonIndex());

    // Next chapter: the delegate hears it first, then chapter 2 opens at its start.
    viewer->setShowDeleteActionSheet(false);
    delegate.next = chapter("Blue Harbor", "2");
    key(viewer, Qt::Key_Right);
    entries(viewer);
    choose(viewer, QStringLiteral("Next chapter"));
    EXPECT_EQ(delegate.calls, QStringList{QStringLiteral("next")});
    EXPECT_EQ(viewer->chapter(), delegate.next);
    EXPECT_EQ(viewer->title(), delegate.next->title());
    EXPECT_EQ(viewer->pageNumber(), 0);
    EXPECT_EQ(viewer->pageCount(), 5);
    EXPECT_EQ(viewer->pagePickerViewController()->numberOfRows(), 5);
    EXPECT_EQ(delegate.next->lastPageRead(), 0);
    viewer->setDelegate(nullptr);
}

TEST_F(PagesViewer, LeavingAndQuittingKeepTheReadingPosition)
{
    PagesViewController *viewer = open();
    RecordingDelegate delegate;
    viewer->setDelegate(&delegate);
    key(viewer, Qt::Key_Right);
    key(viewer, Qt::Key_Right);
    app->booksNavigationController()->popViewController();
    EXPECT_EQ(delegate.calls, QStringList{QStringLiteral("gone")});
    EXPECT_EQ(chapter("Blue Harbor", "1")->lastPageRead(), 2);
    EXPECT_FALSE(runs.appData().managedObjectContext()->hasChanges());

    // Reopened, it starts where the reader left. Closing the window takes
    // the screens off it, so the viewer leaves as when it is popped.
    viewer = open();
    EXPECT_EQ(viewer->pageNumber(), 2);
    key(viewer, Qt::Key_Right);
    app->window()->close();
    EXPECT_EQ(chapter("Blue Harbor", "1")->lastPageRead(), 3);
    EXPECT_FALSE(runs.appData().managedObjectContext()->hasChanges());
    app->window()->show();
    settle(viewer);
    EXPECT_EQ(viewer->pageNumber(), 3);
    key(viewer, Qt::Key_Right);
    // A signal's quit ends the event loop without closing the window; the
    // application's last save still takes the position.
    app->applicationWillTerminate();
    runs.stop();
    app = runs.start();
    EXPECT_EQ(chapter("Blue Harbor", "1")->lastPageRead(), 4);
}

TEST_F(PagesViewer, PagesThatCannotBeShownSayWhy)
{
    auto broken = chapter("Paper Lanterns", "1");
    PagesData pages(broken);
    AppData &data = runs.appData();
    QFile::remove(data.pageFileName(*pages.pages()[0]));
    QFile file(data.pageFileName(*pages.pages()[1]));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a picture");
    file.close();
    pages.pages()[2]->setWidth(3000);
    pages.pages()[3]->setWidth(0);
    pages.pages()[3]->setIsDownloaded(false);
    data.save();

    PagesViewController *viewer = open("Paper Lanterns", "1");
    const QStringList expected = {QStringLiteral("Page 1 not found or scan too large"),
                                  QStringLiteral("Page 2 not found or scan too large"),
                                  QStringLiteral("Page 3 not found or scan too large"),
                                  QStringLiteral("Page 4 not downloaded")};
    for (int i = 0; i < 4; ++i) {
        viewer->loadCurrentPage(i);
        settle(viewer);
        EXPECT_EQ(viewer->currentPageViewController()->display(), Display::Message) << i;
        EXPECT_EQ(viewer->currentPageViewController()->messageText(), expected[i]);
    }
}

TEST_F(PagesViewer, DownloadPageAppearsWhenItsRequestEnds)
{
    auto download =
        DemoLibrary::createDownload(runs.appData(), QStringLiteral("Blue Harbor"), QStringLiteral("4"), 3, 1);
    download->setLastPageRead(1);
    app->tabBarController()->setSelectedIndex(MangaAppDelegate::LibraryTab);
    auto viewer = std::make_unique<DownloadPagesViewController>(download, app->screenServices());
    DownloadPagesViewController *raw = viewer.get();
    app->booksNavigationController()->pushViewController(std::move(viewer));
    settle(raw);
    auto *slot = qobject_cast<DownloadOnePageViewController *>(raw->currentPageViewController());
    ASSERT_TRUE(slot->pageIsDownloading());
    EXPECT_EQ(slot->display(), Display::Placeholder);

    // The fetcher stores page 2 and says so.
    PagesData pages(download);
    auto first = pages.pages()[0];
    auto second = pages.pages()[1];
    QFile::copy(runs.appData().pageFileName(*first),
                runs.appData().pageFileName(*second) + QStringLiteral(".new"));
    QFile::remove(runs.appData().pageFileName(*second));
    QFile::rename(runs.appData().pageFileName(*second) + QStringLiteral(".new"),
                  runs.appData().pageFileName(*second));
    second->setWidth(first->width());
    second->setHeight(first->height());
    second->setIsDownloaded(true);
    NotificationCenter::defaultCenter().post(FetcherQueueWrapper::requestDidFinishNotification());
    settle(raw);
    EXPECT_EQ(raw->currentPageViewController()->display(), Display::Image);
    EXPECT_FALSE(slot->pageIsDownloading());

    // The run ends: the download can be saved from the viewer.
    EXPECT_FALSE(raw->showDeleteActionSheet());
    download->setIsDownloading(false);
    NotificationCenter::defaultCenter().post(FetcherQueueWrapper::queueDidFinishNotification());
    EXPECT_TRUE(raw->showDeleteActionSheet());
    EXPECT_EQ(raw->navigationItem()->rightBarButtonItem(), raw->saveButton());
}

TEST_F(PagesViewer, RotateIsRefusedWhileTheViewerIsLocked)
{
    PagesViewController *viewer = open();
    const QSize upright = app->window()->size();

    // A page taller than a turned screen could hold keeps the screen upright.
    const auto tallPage = PagesData(chapter("Blue Harbor", "1")).pages()[3];
    QImage tall(300, 3600, QImage::Format_RGB32);
    tall.fill(Qt::white);
    ASSERT_TRUE(tall.save(runs.appData().pageFileName(*tallPage), "JPEG"));
    tallPage->setWidth(300);
    tallPage->setHeight(3600);
    viewer->loadCurrentPage(3);
    settle(viewer);
    app->window()->rotate();
    pumpEvents();
    EXPECT_EQ(app->window()->size(), upright);
    viewer->loadCurrentPage(0);
    settle(viewer);

    viewer->lockOrientationAction();
    EXPECT_EQ(viewer->lockItem()->property("imageName").toString(), QStringLiteral("viewlock.png"));
    app->window()->rotate();
    pumpEvents();
    EXPECT_EQ(app->window()->size(), upright);
    viewer->lockOrientationAction();
    app->window()->rotate();
    pumpEvents();
    EXPECT_EQ(app->window()->size(), upright.transposed());
}

} // namespace
