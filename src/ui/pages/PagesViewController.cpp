#include "ui/pages/PagesViewController.h"

#include <optional>

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPropertyAnimation>
#include <QToolButton>

#include "foundation/Device.h"
#include "foundation/Localized.h"
#include "foundation/UrlOpener.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "store/AppData.h"
#include "store/Chapter.h"
#include "store/Download.h"
#include "store/DownloadsRequest.h"
#include "store/Page.h"
#include "store/PagesData.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/Icons.h"
#include "ui/kit/MyHelpAlertViewController.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/NavigationItem.h"
#include "ui/pages/LibraryOnePageViewController.h"
#include "ui/pages/PagePickerViewController.h"
#include "ui/pages/PagesScrollView.h"
#include "ui/pages/PagesViewControllerDelegate.h"
#include "web/BookShopURL.h"

namespace {

constexpr int kToolbarHeight = 44;
constexpr int kAutoHideMs = 4000;
constexpr int kTransitionMs = 400;
constexpr int kPickerSlideMs = 500;
// The handheld's tablet picker stopped 20 points short of the top to leave
// its status bar uncovered; a desktop window has none, and a strip of page
// above the picker only looks broken.
constexpr int kPickerTop = 0;
// Rotating a taller page would take more memory than a device has.
constexpr double kTallestRotatablePage = 3500.0;

// The bar under the page: black, letting the page show through.
class Toolbar : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0, 0, 0, 170));
        painter.setPen(QColor(255, 255, 255, 40));
        painter.drawLine(0, 0, width(), 0);
    }
};

QToolButton *toolButton(QWidget *parent, const QString &icon)
{
    auto *button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(24, 24));
    if (!icon.isEmpty())
        button->setIcon(Icons::icon(icon, Qt::white, QColor(0x80, 0x80, 0x80), QSize(24, 24)));
    button->setStyleSheet(QStringLiteral("QToolButton { color: white; border: none; padding: 6px;"
                                         " font-weight: bold; font-size: 14px; }"
                                         "QToolButton:pressed { background: rgba(255,255,255,50);"
                                         " border-radius: 4px; }"));
    return button;
}

} // namespace

PagesViewController::PagesViewController(std::shared_ptr<Chapter> chapter, ScreenServices services,
                                         QWidget *parent)
    : ViewController(parent), chapter_(std::move(chapter)), services_(std::move(services))
{
    // The tab bar gives the page all the room while the viewer is pushed.
    setHidesBottomBarWhenPushed(true);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &PagesViewController::hideMenuByTimer);
}

PagesViewController::~PagesViewController()
{
    loader_.cancelAll();
    if (current_)
        current_->setDelegate(nullptr);
    if (hidden_)
        hidden_->setDelegate(nullptr);
}

std::unique_ptr<OnePageViewController> PagesViewController::createPageViewController()
{
    return std::make_unique<LibraryOnePageViewController>(pagesData_, services_, &loader_);
}

int PagesViewController::pageCount() const
{
    return pagesData_ ? pagesData_->count() : 0;
}

void PagesViewController::viewDidLoad()
{
    if (chapter_ && chapter_->lastPageRead() < 0)
        chapter_->setLastPageRead(0);
    pagesData_ = chapter_ ? std::make_shared<PagesData>(chapter_) : nullptr;

    containerView_ = new QWidget(this);
    for (OnePageViewController **slot : {&current_, &hidden_}) {
        std::unique_ptr<OnePageViewController> made = createPageViewController();
        *slot = made.release();
        (*slot)->setParent(containerView_);
        (*slot)->setDelegate(this);
        (*slot)->loadViewIfNeeded();
    }
    current_->show();
    hidden_->hide();

    buildToolbar();

    picker_ = new PagePickerViewController(pagesData_, this);
    picker_->setDelegate(this);
    picker_->hide();

    titleLabel_ = new QLabel(this);
    titleLabel_->setFixedSize(120, 30);
    titleLabel_->setAlignment(Qt::AlignCenter);
    titleLabel_->setWordWrap(true);
    titleLabel_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    QFont font = titleLabel_->font();
    font.setPixelSize(12);
    font.setBold(true);
    titleLabel_->setFont(font);
    titleLabel_->hide();
    navigationItem()->setTitleView(titleLabel_);

    const QString message =
        QStringLiteral("%1\n%2\n%3\n%4\n%5")
            .arg(localized("-Tap on the edges to flip the page"), localized("-Swipe to next page (ios4)"),
                 localized("-Two finger tap to (un)crop page (ios4)"),
                 localized("-Double tap or pinch to zoom"),
                 localized("-Tap the page number to jump to a page"));
    alertViewController_ = new MyHelpAlertViewController(
        localized("Did you know?"), message, this, [this](MyAlertViewController *) {
            alertViewController_->dismiss(*services_.userDefaults, SettingsKeys::pagesHelp);
        });
    alertViewController_->setParent(this);
    alertViewController_->loadViewIfNeeded();
    if (QLabel *text = alertViewController_->textView()) {
        QFont noticeFont = text->font();
        noticeFont.setPixelSize(13);
        text->setFont(noticeFont);
    }
    alertViewController_->hide();

    saveAction_ = new QAction(localized("Save"), this);
    connect(saveAction_, &QAction::triggered, this, &PagesViewController::save);
    layoutOverlays();
}

void PagesViewController::buildToolbar()
{
    toolbar_ = new Toolbar(this);
    toolbar_->setFixedHeight(kToolbarHeight);
    auto *layout = new QHBoxLayout(toolbar_);
    layout->setContentsMargins(10, 0, 10, 0);
    layout->setSpacing(0);
    auto *previous = toolButton(toolbar_, QStringLiteral("pagebackward"));
    previous->setAccessibleName(localized("Previous page"));
    lockItem_ = toolButton(toolbar_, QStringLiteral("viewunlock"));
    lockItem_->setAccessibleName(localized("Lock orientation"));
    gotoItem_ = toolButton(toolbar_, QString());
    gotoItem_->setText(localized("goto"));
    auto *action = toolButton(toolbar_, QStringLiteral("action"));
    action->setAccessibleName(localized("Chapter menu"));
    auto *next = toolButton(toolbar_, QStringLiteral("pageforward"));
    next->setAccessibleName(localized("Next page"));
    layout->addWidget(previous);
    layout->addStretch(1);
    layout->addWidget(lockItem_);
    layout->addStretch(1);
    layout->addWidget(gotoItem_);
    layout->addStretch(1);
    layout->addWidget(action);
    layout->addStretch(1);
    layout->addWidget(next);
    connect(previous, &QToolButton::clicked, this, &PagesViewController::changeToPreviousPage);
    connect(next, &QToolButton::clicked, this, &PagesViewController::changeToNextPage);
    connect(lockItem_, &QToolButton::clicked, this, &PagesViewController::lockOrientationAction);
    connect(gotoItem_, &QToolButton::clicked, this, &PagesViewController::showPicker);
    connect(action, &QToolButton::clicked, this, &PagesViewController::showActionSheet);
}

void PagesViewController::layoutOverlays()
{
    if (!containerView_)
        return;
    containerView_->setGeometry(rect());
    for (OnePageViewController *slot : {current_, hidden_}) {
        // A slot sliding in keeps its course; it lands on the container.
        if (slot && !(transition_ && slot == current_))
            slot->setGeometry(containerView_->rect());
        else if (slot)
            slot->resize(containerView_->size());
    }
    toolbar_->setGeometry(0, height() - kToolbarHeight, width(), kToolbarHeight);
    toolbar_->raise();
    if (picker_) {
        // The menu going away as the picker comes grows the viewer: the
        // picker follows the size at once and its slide keeps its course.
        const int inset = kPickerTop;
        if (pickerSlide_)
            picker_->resize(width(), height() - inset);
        else
            picker_->setGeometry(0, pickerIsActive_ ? inset : height(), width(), height() - inset);
    }
    if (picker_)
        picker_->raise();
    if (alertViewController_ && alertViewController_->isShowing())
        alertViewController_->raise();
}

void PagesViewController::resizeEvent(QResizeEvent *event)
{
    ViewController::resizeEvent(event);
    layoutOverlays();
    // The window sets the device's orientation after its children have
    // their new size, so the turn is looked at once that is done.
    if (!orientationCheckQueued_ && isViewLoaded()) {
        orientationCheckQueued_ = true;
        QTimer::singleShot(0, this, &PagesViewController::checkOrientation);
    }
}

void PagesViewController::checkOrientation()
{
    orientationCheckQueued_ = false;
    if (!current_)
        return;
    const int orientation = Device::orientation();
    const int from = current_->orientation();
    if (orientation == from)
        return;
    current_->setOrientation(orientation);
    hidden_->setOrientation(orientation);
    // A full layout again, as after a turn of the device; the hidden slot
    // then also holds the current page.
    current_->loadPage(pageNumber_);
    hidden_->loadPage(pageNumber_);
    if (Device::isPortrait(from))
        autoLockOrientation();
}

void PagesViewController::viewWillAppear()
{
    if (NavigationController *nav = navigationController())
        nav->navigationBar()->setBarStyle(NavigationBar::Style::BlackTranslucent);
    setMenuVisible(true);
    current_->setOrientation(Device::orientation());
    hidden_->setOrientation(Device::orientation());
    loadInitialPage();
    setPageTitle();
    titleLabel_->setText(title());
    if (!Device::isPortrait(Device::orientation()))
        autoLockOrientation();
    if (showSaveButton_)
        createSaveButton();
}

void PagesViewController::viewDidAppear()
{
    if (services_.userDefaults->boolForKey(SettingsKeys::autoHideMenu))
        timer_.start(kAutoHideMs);
    setFocus();
}

void PagesViewController::viewWillDisappear()
{
    timer_.stop();
    if (NavigationController *nav = navigationController()) {
        nav->navigationBar()->setBarStyle(NavigationBar::Style::Black);
        nav->setNavigationBarHidden(false);
    }
    saveLastPageRead();
    if (delegate_)
        delegate_->pagesViewControllerWillDisappear(this);
    saveStore();
}

void PagesViewController::saveStore()
{
    if (!services_.appData)
        return;
    // While a download is being fetched its engine saves often, carrying
    // this change with its own.
    for (const auto &download :
         services_.appData->managedObjectContext()->fetch<Download>(DownloadsRequest())) {
        if (download->isDownloading())
            return;
    }
    services_.appData->save();
}

void PagesViewController::applicationWillSave()
{
    // Only a viewer still in its stack has a position worth keeping.
    if (parentViewController())
        saveLastPageRead();
}

void PagesViewController::saveLastPageRead()
{
    if (chapter_)
        chapter_->setLastPageRead(pageNumber_);
}

void PagesViewController::loadInitialPage()
{
    const int last = chapter_ ? chapter_->lastPageRead() : 0;
    loadCurrentPage(last >= 1 && last < pageCount() ? last : 0);
}

void PagesViewController::loadCurrentPage(int index)
{
    if (index < 0 || index >= pageCount())
        return;
    pageNumber_ = index;
    current_->loadPage(index);
}

void PagesViewController::loadNewPage(int index)
{
    if (index < 0 || index >= pageCount())
        return;
    transitionDirection_ = index > pageNumber_ ? 1 : -1;
    if (transitionPending_) {
        // The slot before still waits for its picture: it takes the newer
        // page instead, and the page on screen stays until that arrives.
        pageNumber_ = index;
        setPageTitle();
        current_->loadPage(index);
        return;
    }
    hidden_->setRelativeZoomScale(current_->relativeZoomScale());
    std::swap(current_, hidden_);
    // A page left before it was whole keeps its top for the slide out; its
    // whole decode would only hold up the next page's.
    const bool leftInPart = hidden_->isWaitingForWholePage();
    if (leftInPart)
        loader_.forget(hidden_);
    pageNumber_ = index;
    setPageTitle();
    transitionPending_ = true;
    current_->loadPage(index);
    // The page two flips back goes now rather than once this one is shown:
    // beside the page left in part, its whole decode still finishing and
    // this page's top, it would be a fourth.
    if (leftInPart)
        loader_.retainOnly({current_->currentRequest(), hidden_->currentRequest()});
}

void PagesViewController::onePageViewControllerDidShowPage(OnePageViewController *slot)
{
    if (slot != current_)
        return;
    if (transitionPending_)
        startTransition();
    holdNextPage();
}

void PagesViewController::startTransition()
{
    transitionPending_ = false;
    OnePageViewController *incoming = current_;
    OnePageViewController *outgoing = hidden_;
    const QRect home = containerView_->rect();
    // A flip during the previous one's slide: that page lands at once and
    // is what the new one moves in over (a stopped animation never
    // reports that it finished).
    if (transition_)
        transition_->stop();
    outgoing->move(home.topLeft());
    incoming->setGeometry(home);
    incoming->show();
    incoming->raise();
    if (!isVisible() || home.width() <= 0) {
        outgoing->hide();
        return;
    }
    // The new page moves in over the old one, from the side it comes from.
    auto *animation = new QPropertyAnimation(incoming, "pos", this);
    animation->setDuration(kTransitionMs);
    animation->setEasingCurve(QEasingCurve::InOutQuad);
    animation->setStartValue(QPoint(transitionDirection_ > 0 ? home.width() : -home.width(), 0));
    animation->setEndValue(QPoint(0, 0));
    QPointer<OnePageViewController> out(outgoing);
    QPointer<OnePageViewController> in(incoming);
    connect(animation, &QAbstractAnimation::finished, this, [this, out, in] {
        if (out && out != current_)
            out->hide();
        if (in)
            in->move(0, 0);
    });
    transition_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void PagesViewController::holdNextPage()
{
    std::vector<PageImageRequest> keep = {current_->currentRequest(), hidden_->currentRequest()};
    const int next = pageNumber_ + 1;
    std::optional<PageImageRequest> ahead;
    // The next page waits until the current one is whole: the rest of the
    // page on screen is wanted first, and its top, its whole decode and the
    // next page are then never held at once.
    if (holdsNextPage_ && next < pageCount() && !current_->isWaitingForWholePage()) {
        const auto &record = pagesData_->pages()[std::size_t(next)];
        if (record->width() > 1.0 && record->height() > 1.0 && record->width() < 2500.0) {
            ahead = current_->requestForPage(next);
            keep.push_back(*ahead);
        }
    }
    // The page two flips back goes before the next one is decoded, so no
    // more than three decoded pages are ever held.
    loader_.retainOnly(keep);
    if (ahead)
        loader_.preload(*ahead);
}

void PagesViewController::changeToNextPage()
{
    if (pageNumber_ >= pageCount() - 1)
        showActionSheet();
    else
        loadNewPage(pageNumber_ + 1);
}

void PagesViewController::changeToPreviousPage()
{
    if (pageNumber_ > 0)
        loadNewPage(pageNumber_ - 1);
}

void PagesViewController::gotoFirstPage()
{
    if (pageNumber_ != 0)
        loadNewPage(0);
}

void PagesViewController::setPageTitle()
{
    gotoItem_->setText(QStringLiteral("%1 (%2)").arg(pageNumber_ + 1).arg(pageCount()));
}

bool PagesViewController::isMenuVisible() const
{
    if (NavigationController *nav = navigationController())
        return !nav->isNavigationBarHidden();
    return menuVisible_;
}

void PagesViewController::setMenuVisible(bool visible)
{
    menuVisible_ = visible;
    if (NavigationController *nav = navigationController())
        nav->setNavigationBarHidden(!visible);
    toolbar_->setVisible(visible);
    if (visible)
        toolbar_->raise();
}

void PagesViewController::showMenuAndToolbar()
{
    if (isMenuVisible()) {
        setMenuVisible(false);
        if (timer_.isActive()) {
            timer_.stop();
            offerHelp();
        }
    } else {
        setMenuVisible(true);
    }
    current_->initOffsetWithIsPortrait(Device::isPortrait(current_->orientation()));
}

void PagesViewController::hideMenuByTimer()
{
    setMenuVisible(false);
    current_->initOffsetWithIsPortrait(Device::isPortrait(current_->orientation()));
    offerHelp();
}

void PagesViewController::offerHelp()
{
    if (alertViewController_->showIfNeeded(this, *services_.userDefaults, SettingsKeys::pagesHelp))
        alertViewController_->raise();
}

void PagesViewController::navigate(QPointF point)
{
    if (pickerIsActive_)
        return;
    const qreal w = width(), h = height();
    if (point.x() < 0.2 * w)
        changeToPreviousPage();
    else if (point.x() > 0.8 * w)
        changeToNextPage();
    else if (point.y() < 0.2 * h)
        changeToPreviousPage();
    else if (point.y() > 0.8 * h)
        changeToNextPage();
    else
        showMenuAndToolbar();
}

void PagesViewController::onePageViewControllerGotSingleTapAtPoint(OnePageViewController *slot, QPointF point)
{
    if (slot != current_)
        return;
    if (services_.userDefaults->boolForKey(SettingsKeys::enableSwipeToNextPage) && Device::hasSwipe())
        showMenuAndToolbar();
    else
        navigate(slot->mapTo(this, point.toPoint()));
}

void PagesViewController::onePageViewControllerGotSwipe(OnePageViewController *slot, int direction)
{
    if (slot != current_ || pickerIsActive_)
        return;
    if (direction < 0)
        changeToNextPage();
    else
        changeToPreviousPage();
}

void PagesViewController::onePageViewControllerScrolledPastEnd(OnePageViewController *slot, int direction)
{
    onePageViewControllerGotSwipe(slot, -direction);
}

void PagesViewController::onePageViewControllerGotTwoFingerTap(OnePageViewController *slot)
{
    if (slot == current_)
        toggleCrop();
}

void PagesViewController::toggleCrop()
{
    if (!services_.userDefaults->boolForKey(SettingsKeys::cropPage))
        return;
    current_->setUncropPage(current_->isCropped());
    loadCurrentPage(pageNumber_);
}

void PagesViewController::showActionSheet()
{
    hasNextChapter_ = delegate_ && delegate_->pagesViewControllerHasNextChapter(this);
    QStringList entries;
    if (showDeleteActionSheet_ && hasNextChapter_)
        entries = {QStringLiteral("Next chapter"), QStringLiteral("Save and next chapter"),
                   QStringLiteral("Delete and next chapter")};
    else if (showDeleteActionSheet_)
        entries = {QStringLiteral("Delete chapter"), QStringLiteral("Save chapter")};
    else if (hasNextChapter_)
        entries = {QStringLiteral("Next chapter")};
    entries << QStringLiteral("Uncrop page") << QStringLiteral("First page") << QStringLiteral("Buy Amazon");

    ActionSheet::Request request;
    request.cancelButton = localized("Cancel");
    for (const QString &entry : entries)
        request.otherButtons << localized(entry);
    QPointer<PagesViewController> self(this);
    request.onButton = [self, entries](int index) {
        if (!self || index < 0 || index >= entries.size())
            return;
        const QString &entry = entries[index];
        PagesViewControllerDelegate *delegate = self->delegate_;
        if (entry == u"Next chapter") {
            if (delegate)
                delegate->pagesViewControllerWillGotoNextChapter(self);
            self->gotoNextChapter();
        } else if (entry == u"Save and next chapter" || entry == u"Delete and next chapter") {
            if (delegate) {
                if (entry.startsWith(u"Save"))
                    delegate->pagesViewControllerSaveChapter(self);
                else
                    delegate->pagesViewControllerDeleteChapter(self);
                delegate->pagesViewControllerWillGotoNextChapter(self);
            }
            self->gotoNextChapter();
        } else if (entry == u"Save chapter" || entry == u"Delete chapter") {
            if (delegate) {
                if (entry.startsWith(u"Save"))
                    delegate->pagesViewControllerSaveChapter(self);
                else
                    delegate->pagesViewControllerDeleteChapter(self);
            }
            if (NavigationController *nav = self->navigationController())
                nav->popViewController();
        } else if (entry == u"Uncrop page") {
            self->current_->setUncropPage(true);
            self->loadCurrentPage(self->pageNumber_);
        } else if (entry == u"First page") {
            self->gotoFirstPage();
        } else if (entry == u"Buy Amazon") {
            self->openBookShop();
        }
    };
    actionSheet_ = ActionSheet::show(this, std::move(request));
}

void PagesViewController::openBookShop()
{
    if (!services_.urlOpener)
        return;
    services_.urlOpener->openUrl(BookShopSearchURL(
        services_.userDefaults->stringForKey(SettingsKeys::bookShopSearchBaseURL), bookTitle_));
}

void PagesViewController::gotoNextChapter()
{
    if (!nextChapter_)
        return;
    chapter_ = nextChapter_;
    pagesData_ = std::make_shared<PagesData>(chapter_);
    loader_.clear();
    transitionPending_ = false;
    if (transition_)
        transition_->stop();
    hidden_->hide();
    for (OnePageViewController *slot : {current_, hidden_})
        slot->setPagesData(pagesData_);
    picker_->setPagesData(pagesData_);
    setTitle(chapter_->title());
    chapter_->setLastPageRead(0);
    current_->show();
    current_->move(0, 0);
    loadCurrentPage(0);
    setPageTitle();
    titleLabel_->setText(title());
}

void PagesViewController::showPicker()
{
    if (pickerIsActive_ || pageCount() == 0)
        return;
    timer_.stop();
    setMenuVisible(false);
    current_->initOffsetWithIsPortrait(Device::isPortrait(current_->orientation()));
    picker_->selectRow(pageNumber_);
    pickerIsActive_ = true;
    slidePicker(true);
    picker_->picker()->setFocus();
}

void PagesViewController::slidePicker(bool in)
{
    if (pickerSlide_)
        pickerSlide_->stop();
    const int top = kPickerTop;
    picker_->setGeometry(0, in ? height() : top, width(), height() - top);
    picker_->show();
    picker_->raise();
    auto *animation = new QPropertyAnimation(picker_, "pos", this);
    animation->setDuration(kPickerSlideMs);
    animation->setEasingCurve(QEasingCurve::OutCubic);
    animation->setStartValue(QPoint(0, in ? height() : top));
    animation->setEndValue(QPoint(0, in ? top : height()));
    if (!in) {
        QPointer<PagePickerViewController> picker(picker_);
        connect(animation, &QAbstractAnimation::finished, this, [this, picker] {
            if (picker && !pickerIsActive_)
                picker->hide();
        });
    }
    pickerSlide_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void PagesViewController::pagePickerControllerDidSelectPage(PagePickerViewController *picker)
{
    if (!pickerIsActive_)
        return;
    pickerIsActive_ = false;
    slidePicker(false);
    const int row = picker->selectedRow();
    if (row != pageNumber_)
        loadNewPage(row);
    setFocus();
}

void PagesViewController::pagePickerControllerDidSelectDismiss(PagePickerViewController *)
{
    if (!pickerIsActive_)
        return;
    pickerIsActive_ = false;
    slidePicker(false);
    setFocus();
}

void PagesViewController::lockOrientationAction()
{
    lockOrientation_ = !lockOrientation_;
    updateLockItem();
}

void PagesViewController::autoLockOrientation()
{
    if (!services_.userDefaults->boolForKey(SettingsKeys::autoLockLandscape))
        return;
    lockOrientation_ = true;
    updateLockItem();
}

void PagesViewController::updateLockItem()
{
    lockItem_->setIcon(
        Icons::icon(lockOrientation_ ? QStringLiteral("viewlock") : QStringLiteral("viewunlock"), Qt::white,
                    QColor(0x80, 0x80, 0x80), QSize(24, 24)));
    lockItem_->setProperty("imageName", lockOrientation_ ? QStringLiteral("viewlock.png")
                                                         : QStringLiteral("viewunlock.png"));
}

bool PagesViewController::shouldAutorotateToInterfaceOrientation(int) const
{
    if (lockOrientation_)
        return false;
    return !(current_ && current_->shownPageHeight() > kTallestRotatablePage);
}

void PagesViewController::createSaveButton()
{
    showSaveButton_ = true;
    navigationItem()->setRightBarButtonItem(saveAction_);
}

void PagesViewController::removeSaveButton()
{
    showSaveButton_ = false;
    navigationItem()->setRightBarButtonItem(nullptr);
}

void PagesViewController::save()
{
    if (saveHandler_)
        saveHandler_(this);
}

void PagesViewController::zoomBy(qreal factor)
{
    PagesScrollView *scroll = current_->scrollView();
    scroll->setZoomScale(scroll->zoomScale() * factor,
                         QPointF(scroll->width() / 2.0, scroll->height() / 2.0));
}

void PagesViewController::keyPressEvent(QKeyEvent *event)
{
    if (pickerIsActive_) {
        ViewController::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_PageDown:
    case Qt::Key_Space:
        changeToNextPage();
        break;
    case Qt::Key_Left:
    case Qt::Key_PageUp:
    case Qt::Key_Backspace:
        changeToPreviousPage();
        break;
    case Qt::Key_Home:
        gotoFirstPage();
        break;
    case Qt::Key_End:
        if (pageNumber_ != pageCount() - 1)
            loadNewPage(pageCount() - 1);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomBy(1.25);
        break;
    case Qt::Key_Minus:
        zoomBy(1.0 / 1.25);
        break;
    case Qt::Key_0:
        current_->scrollView()->setZoomScale(current_->scrollView()->minimumZoomScale());
        break;
    case Qt::Key_Escape:
        if (NavigationController *nav = navigationController())
            nav->popViewController();
        break;
    default:
        ViewController::keyPressEvent(event);
        return;
    }
    event->accept();
}
