#pragma once

#include <functional>
#include <memory>

#include <QAbstractAnimation>
#include <QPointer>
#include <QTimer>

#include "reader/PageImageLoader.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/ScreenServices.h"
#include "ui/kit/ViewController.h"
#include "ui/pages/OnePageViewControllerDelegate.h"
#include "ui/pages/PagePickerViewControllerDelegate.h"

class Chapter;
class MyHelpAlertViewController;
class OnePageViewController;
class PagePickerViewController;
class PagesData;
class PagesViewControllerDelegate;
class QAction;
class QLabel;
class QToolButton;

// The page viewer: one chapter's pages, one at a time, in two page slots
// that swap roles at every flip. Taps on the edges, swipes, the wheel, the
// keys and the toolbar flip; a tap in the middle shows or hides the menu
// (navigation bar and toolbar), which hides itself after a while when
// "autoHideMenu" is on. The page number opens a picker; the last page leads
// to the end-of-chapter menu. The reading position is written into the
// chapter as the viewer leaves, and when the application saves while the
// viewer is on screen.
// Thread contract: main thread only; pages are decoded on the viewer's own
// loader and shown when they arrive.
class PagesViewController : public ViewController,
                            public OnePageViewControllerDelegate,
                            public PagePickerViewControllerDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PagesViewController)

public:
    PagesViewController(std::shared_ptr<Chapter> chapter, ScreenServices services, QWidget *parent = nullptr);
    ~PagesViewController() override;

    const std::shared_ptr<Chapter> &chapter() const { return chapter_; }
    void setChapter(std::shared_ptr<Chapter> chapter) { chapter_ = std::move(chapter); }
    const std::shared_ptr<PagesData> &pagesData() const { return pagesData_; }
    void setPagesData(std::shared_ptr<PagesData> pagesData) { pagesData_ = std::move(pagesData); }
    QString bookTitle() const { return bookTitle_; }
    void setBookTitle(const QString &title) { bookTitle_ = title; }
    PagesViewControllerDelegate *delegate() const { return delegate_; }
    void setDelegate(PagesViewControllerDelegate *delegate) { delegate_ = delegate; }
    const std::shared_ptr<Chapter> &nextChapter() const { return nextChapter_; }
    void setNextChapter(std::shared_ptr<Chapter> chapter) { nextChapter_ = std::move(chapter); }
    bool showDeleteActionSheet() const { return showDeleteActionSheet_; }
    void setShowDeleteActionSheet(bool show) { showDeleteActionSheet_ = show; }
    bool showSaveButton() const { return showSaveButton_; }
    void setShowSaveButton(bool show) { showSaveButton_ = show; }
    // What the navigation bar's Save button does (the downloads screen's
    // save panel); nothing until set.
    void setSaveHandler(std::function<void(PagesViewController *)> handler)
    {
        saveHandler_ = std::move(handler);
    }

    int pageNumber() const { return pageNumber_; }
    int pageCount() const;
    OnePageViewController *currentPageViewController() const { return current_; }
    OnePageViewController *newPageViewController() const { return hidden_; }
    PagePickerViewController *pagePickerViewController() const { return picker_; }
    MyHelpAlertViewController *alertViewController() const { return alertViewController_; }
    ActionSheet *actionSheet() const { return actionSheet_; }
    QWidget *toolbar() const { return toolbar_; }
    QToolButton *gotoItem() const { return gotoItem_; }
    QToolButton *lockItem() const { return lockItem_; }
    QLabel *titleLabel() const { return titleLabel_; }
    QAction *saveButton() const { return saveAction_; }
    QTimer *autoHideTimer() { return &timer_; }
    bool pickerIsActive() const { return pickerIsActive_; }
    bool lockOrientation() const { return lockOrientation_; }
    bool hasNextChapter() const { return hasNextChapter_; }
    // The menu counts as shown while the navigation bar is.
    bool isMenuVisible() const;
    // Off, a flip decodes the page it goes to and nothing ahead.
    void setHoldsNextPage(bool holds) { holdsNextPage_ = holds; }
    PageImageLoader &loader() { return loader_; }

    void loadInitialPage();
    void loadCurrentPage(int index);
    void loadNewPage(int index);
    void changeToNextPage();
    void changeToPreviousPage();
    void gotoFirstPage();
    virtual void gotoNextChapter();
    void navigate(QPointF point);
    void showMenuAndToolbar();
    void showActionSheet();
    void showPicker();
    void lockOrientationAction();
    void saveLastPageRead();
    void save();
    // Two fingers on the page: shows it uncut once, or cut again.
    void toggleCrop();

    bool shouldAutorotateToInterfaceOrientation(int orientation) const override;
    void applicationWillSave() override;

    // OnePageViewControllerDelegate
    void onePageViewControllerGotSingleTapAtPoint(OnePageViewController *slot, QPointF point) override;
    void onePageViewControllerDidShowPage(OnePageViewController *slot) override;
    void onePageViewControllerGotSwipe(OnePageViewController *slot, int direction) override;
    void onePageViewControllerScrolledPastEnd(OnePageViewController *slot, int direction) override;
    void onePageViewControllerGotTwoFingerTap(OnePageViewController *slot) override;
    // PagePickerViewControllerDelegate
    void pagePickerControllerDidSelectPage(PagePickerViewController *picker) override;
    void pagePickerControllerDidSelectDismiss(PagePickerViewController *picker) override;

protected:
    // The page slots: the library's or the download's.
    virtual std::unique_ptr<OnePageViewController> createPageViewController();
    ScreenServices &services() { return services_; }
    void createSaveButton();
    void removeSaveButton();

    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidAppear() override;
    void viewWillDisappear() override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildToolbar();
    void setPageTitle();
    void setMenuVisible(bool visible);
    void hideMenuByTimer();
    void offerHelp();
    void autoLockOrientation();
    void updateLockItem();
    void startTransition();
    void holdNextPage();
    void slidePicker(bool in);
    void checkOrientation();
    void layoutOverlays();
    void saveStore();
    void zoomBy(qreal factor);
    void openBookShop();

    std::shared_ptr<Chapter> chapter_;
    ScreenServices services_;
    QString bookTitle_;
    std::shared_ptr<PagesData> pagesData_;
    PagesViewControllerDelegate *delegate_ = nullptr;
    std::shared_ptr<Chapter> nextChapter_;
    std::function<void(PagesViewController *)> saveHandler_;
    PageImageLoader loader_;

    QWidget *containerView_ = nullptr; // widgets are QObject children
    OnePageViewController *current_ = nullptr;
    OnePageViewController *hidden_ = nullptr;
    PagePickerViewController *picker_ = nullptr;
    QWidget *toolbar_ = nullptr;
    QToolButton *gotoItem_ = nullptr;
    QToolButton *lockItem_ = nullptr;
    QLabel *titleLabel_ = nullptr;
    QAction *saveAction_ = nullptr;
    MyHelpAlertViewController *alertViewController_ = nullptr;
    QPointer<ActionSheet> actionSheet_;
    QPointer<QAbstractAnimation> transition_;
    QPointer<QAbstractAnimation> pickerSlide_;
    QTimer timer_;

    int pageNumber_ = 0;
    int transitionDirection_ = 1;
    bool transitionPending_ = false;
    bool pickerIsActive_ = false;
    bool lockOrientation_ = false;
    bool hasNextChapter_ = false;
    bool showDeleteActionSheet_ = false;
    bool showSaveButton_ = false;
    bool holdsNextPage_ = true;
    bool menuVisible_ = true;
    bool orientationCheckQueued_ = false;
};
