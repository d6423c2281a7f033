#include "ui/pages/OnePageViewController.h"

#include <algorithm>
#include <cmath>

#include <QLabel>
#include <QMouseEvent>

#include "foundation/Device.h"
#include "foundation/Localized.h"
#include "reader/PageCut.h"
#include "reader/PageSizer.h"
#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "store/AppData.h"
#include "store/Page.h"
#include "store/PagesData.h"
#include "ui/pages/OnePageViewControllerDelegate.h"
#include "ui/pages/PageImageView.h"
#include "ui/pages/PagesScrollView.h"

namespace {

// Pages this wide or wider are never decoded, to bound memory.
constexpr double kWidestPage = 2500.0;
constexpr int kMessageHeight = 50;
constexpr qreal kMaximumZoom = 2.0;
constexpr qreal kClickSlop = 8.0;

// The zoom a page is first shown at: fitted, times the zoom carried over
// from the page before, within the zoom limits.
qreal shownZoom(const PageSizer &sizer, qreal relativeZoom)
{
    const qreal minimum = sizer.minimumScale();
    return std::clamp(minimum * relativeZoom, minimum, std::max(kMaximumZoom, minimum));
}

} // namespace

OnePageViewController::OnePageViewController(std::shared_ptr<PagesData> pagesData, ScreenServices services,
                                             PageImageLoader *loader, QWidget *parent)
    : ViewController(parent), pagesData_(std::move(pagesData)), services_(std::move(services)),
      loader_(loader)
{
    scrollView_ = new PagesScrollView(this);
    scrollView_->setMinimumZoomScale(1.0);
    scrollView_->setMaximumZoomScale(kMaximumZoom);
    scrollView_->setAutoFillBackground(true);
    applyBackground();
    connect(scrollView_, &PagesScrollView::swiped, this, [this](int direction) {
        if (delegate_)
            delegate_->onePageViewControllerGotSwipe(this, direction);
    });
    connect(scrollView_, &PagesScrollView::scrolledPastEnd, this, [this](int direction) {
        if (delegate_)
            delegate_->onePageViewControllerScrolledPastEnd(this, direction);
    });
    connect(scrollView_, &PagesScrollView::zoomChanged, this, [this] { ensureResolution(false); });
}

OnePageViewController::~OnePageViewController() = default;

void OnePageViewController::applyBackground()
{
    const bool white =
        services_.userDefaults && services_.userDefaults->boolForKey(SettingsKeys::whiteBackground);
    const QColor background = white ? Qt::white : Qt::black;
    const QColor text = white ? Qt::black : Qt::white;
    QPalette palette = scrollView_->palette();
    // Set on every page: resolving a palette anew is not free.
    if (scrollView_->testAttribute(Qt::WA_SetPalette) && palette.color(QPalette::Window) == background &&
        palette.color(QPalette::WindowText) == text)
        return;
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    scrollView_->setPalette(palette);
}

std::shared_ptr<Page> OnePageViewController::page(int index) const
{
    if (!pagesData_ || index < 0 || index >= pagesData_->count())
        return nullptr;
    return pagesData_->pages()[std::size_t(index)];
}

bool OnePageViewController::imageExists() const
{
    const auto record = page(pageNumber_);
    if (!record)
        return false;
    // Comparisons with not-a-number are false, so a broken record fails.
    return record->width() > 1.0 && record->height() > 1.0 && record->width() < kWidestPage;
}

void OnePageViewController::loadPage(int index)
{
    if (!page(index))
        return;
    applyBackground();
    pageNumber_ = index;
    if (imageExists())
        addImageView();
    else
        addErrorView();
}

PageImageRequest OnePageViewController::requestForPage(int index) const
{
    return requestForPage(index,
                          services_.userDefaults && services_.userDefaults->boolForKey(SettingsKeys::cropPage));
}

PageImageRequest OnePageViewController::requestForPage(int index, bool cut) const
{
    PageImageRequest request;
    const auto record = page(index);
    if (!record || !services_.appData)
        return request;
    request.fileName = services_.appData->pageFileName(*record);
    request.cut = cut;
    request.leftBorder = float(record->leftBorder());
    request.rightBorder = float(record->rightBorder());
    request.gray = record->isGray().value_or(false);
    // Shown smaller than its pixels, a page is decoded smaller: the scale
    // it will be fitted at follows from its record before it is decoded.
    const QSize full(int(record->width()), int(record->height()));
    const QRect shown =
        request.cut ? PageCutRect(request.leftBorder, request.rightBorder, full) : QRect(QPoint(0, 0), full);
    request.shownScale = 1.0;
    if (!shown.isEmpty() && scrollView_->width() > 0 && scrollView_->height() > 0) {
        const PageSizer sizer = sizerFor(QSizeF(shown.size()));
        request.shownScale = double(sizer.minimumScale()) * double(relativeZoomScale_) * devicePixelRatioF();
    }
    return request;
}

void OnePageViewController::addImageView()
{
    const bool crop = services_.userDefaults && services_.userDefaults->boolForKey(SettingsKeys::cropPage);
    isCropped_ = crop && !uncropPage_;
    // The uncut view lasts for this one load only.
    uncropPage_ = false;
    request_ = requestForPage(pageNumber_, isCropped_);
    // Unless the whole page is at hand or on its way, the rows on screen
    // come first: less to decode before the page is seen.
    PageImageRequest first = request_;
    const qreal zoom = request_.shownScale / devicePixelRatioF();
    const bool atHand = loader_->isCachedOrPending(request_);
    if (zoom > 0 && scrollView_->height() > 0 && !atHand)
        first.firstRows = int(std::ceil(scrollView_->height() / zoom));
    const int number = pageNumber_;
    QPointer<OnePageViewController> self(this);
    auto show = [self, number](std::shared_ptr<const PageImage> image) {
        if (self && self->pageNumber_ == number && self->display_ == Display::Loading)
            self->showImage(std::move(image));
    };
    auto prepare = [self, number](const PageImageRows &rows) {
        if (self && self->pageNumber_ == number && self->display_ == Display::Loading)
            self->prepareRows(rows);
    };
    preparing_.reset();
    // A page to decode starts before the one shown so far is taken down;
    // one at hand is shown at once, so that one goes first.
    if (!atHand)
        loader_->load(this, first, show, prepare);
    removeShownView();
    display_ = Display::Loading;
    if (atHand)
        loader_->load(this, first, show);
}

void OnePageViewController::showImage(std::shared_ptr<const PageImage> image)
{
    if (!image) {
        // The record was good but the file is missing or does not decode.
        showMessage(withArguments(localized("Page %d not found or scan too large"),
                                  {QString::number(pageNumber_ + 1)}));
        pageShown();
        return;
    }
    image_ = std::move(image);
    // One view for every page this slot shows: a new widget costs its
    // construction and polish on the very paint the page waits for.
    if (!pageView_)
        pageView_ = new PageImageView(nullptr, scrollView_);
    PageImageView *view = pageView_;
    view->setPage(image_);
    view->setDelegate(this);
    imageView_ = view;
    display_ = Display::Image;
    layoutImage(relativeZoomScale_);
    if (preparing_)
        view->adoptScaler(std::move(*preparing_));
    preparing_.reset();
    if (image_->isWhole()) {
        ensureResolution(false);
    } else {
        // The rest of the page is asked for once this top has been painted:
        // the decoding thread woken now would share the cores with that paint.
        QMetaObject::invokeMethod(
            this, [this] { ensureResolution(true); }, Qt::QueuedConnection);
    }
    pageShown();
}

PageSizer OnePageViewController::sizerFor(QSizeF full) const
{
    PageSizer sizer(QRectF(QPointF(0, 0), full), QRectF(scrollView_->rect()),
                    float(services_.userDefaults
                              ? services_.userDefaults->floatForKey(SettingsKeys::portraitPageSize)
                              : 0.0),
                    Device::isPortrait(orientation_));
    sizer.compute();
    return sizer;
}

void OnePageViewController::layoutImage(qreal relativeZoom)
{
    const QSizeF full(image_->fullSize());
    const PageSizer sizer = sizerFor(full);
    scrollView_->setZoomView(imageView_, full);
    scrollView_->setMinimumZoomScale(sizer.minimumScale());
    scrollView_->setMaximumZoomScale(std::max<qreal>(kMaximumZoom, sizer.minimumScale()));
    scrollView_->setZoomScale(shownZoom(sizer, relativeZoom));
    scrollView_->setContentOffset(QPointF(0, 0));
}

void OnePageViewController::prepareRows(const PageImageRows &rows)
{
    const QSizeF full(rows.fullSize);
    const QSize view = PagesScrollView::zoomViewSize(full, shownZoom(sizerFor(full), relativeZoomScale_));
    const QSize target = (QSizeF(view) * devicePixelRatioF()).toSize();
    const QSize source(rows.rows.width(), rows.decodedHeight);
    if (!preparing_ || preparing_->sourceSize() != source || preparing_->targetSize() != target) {
        if (!GrayScaler::suits(source, target))
            return;
        preparing_.emplace(source, target);
    }
    preparing_->scale(rows.rows);
}

void OnePageViewController::ensureResolution(bool whole)
{
    if (display_ != Display::Image || !image_)
        return;
    const double needed = scrollView_->zoomScale() * devicePixelRatioF();
    const bool sharp =
        image_->isFullSize() || PageImageLoader::decodingScale(needed) <= image_->scale() + 1e-9;
    if (sharp && (image_->isWhole() || !whole))
        return;
    PageImageRequest better = request_;
    if (!sharp)
        better.shownScale = needed;
    const int number = pageNumber_;
    QPointer<OnePageViewController> self(this);
    loader_->load(this, better, [self, number, better](std::shared_ptr<const PageImage> image) {
        // Same geometry, more pixels or rows: nothing on screen moves.
        if (!self || !image || self->pageNumber_ != number || self->display_ != Display::Image ||
            !self->imageView_)
            return;
        const bool completed = !self->image_->isWhole() && image->isWhole();
        self->image_ = image;
        self->request_ = better;
        self->imageView_->setPage(std::move(image));
        if (completed)
            self->pageShown();
    });
}

void OnePageViewController::refit()
{
    if (display_ != Display::Image || !imageView_)
        return;
    const qreal relative = relativeZoomScale();
    const QPointF offset = scrollView_->contentOffset();
    layoutImage(relative);
    scrollView_->setContentOffset(offset);
}

void OnePageViewController::addErrorView()
{
    showLibraryMessage();
    pageShown();
}

void OnePageViewController::showLibraryMessage()
{
    const auto record = page(pageNumber_);
    const QString number = QString::number(pageNumber_ + 1);
    QString text;
    if (record && record->isDownloaded() && !record->errorString().isNull())
        text = withArguments(localized("Page %d not found: %@"), {number, record->errorString()});
    else if (record && record->isDownloaded())
        text = withArguments(localized("Page %d not found or scan too large"), {number});
    else
        text = withArguments(localized("Page %d not downloaded"), {number});
    showMessage(text);
}

void OnePageViewController::showMessage(const QString &text)
{
    removeShownView();
    auto *label = new QLabel(text, scrollView_);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Up to three lines.
    QFont font = label->font();
    font.setPixelSize(15);
    label->setFont(font);
    label->setForegroundRole(QPalette::WindowText);
    label->setGeometry(0, (scrollView_->height() - kMessageHeight) / 2, scrollView_->width(), kMessageHeight);
    label->show();
    messageView_ = label;
    display_ = Display::Message;
    resetZoom();
}

void OnePageViewController::removeShownView()
{
    scrollView_->setZoomView(nullptr, QSizeF());
    if (imageView_) {
        // Its picture goes now, to keep the count of decoded pages held, and
        // a click on the page before is not counted with one on the next.
        imageView_->setDelegate(nullptr);
        imageView_->forgetClicks();
        imageView_->setPage(nullptr);
        imageView_->hide();
        imageView_ = nullptr;
    }
    delete messageView_.data();
    image_.reset();
    display_ = Display::Nothing;
}

void OnePageViewController::pageShown()
{
    if (delegate_)
        delegate_->onePageViewControllerDidShowPage(this);
}

QString OnePageViewController::messageText() const
{
    if (auto *label = qobject_cast<QLabel *>(messageView_.data()))
        return label->text();
    return {};
}

double OnePageViewController::shownPageHeight() const
{
    return display_ == Display::Image && image_ ? image_->fullSize().height() : 0.0;
}

float OnePageViewController::relativeZoomScale() const
{
    if (display_ != Display::Image)
        return relativeZoomScale_;
    const qreal minimum = scrollView_->minimumZoomScale();
    if (!(minimum > 0))
        return 1.0f;
    const qreal ratio = scrollView_->zoomScale() / minimum;
    return ratio >= 0.99 && ratio <= 1.01 ? 1.0f : float(ratio);
}

void OnePageViewController::resetZoom()
{
    scrollView_->setMinimumZoomScale(1.0);
    scrollView_->setZoomScale(1.0);
}

QRectF OnePageViewController::zoomRectForScale(qreal scale, QPointF center) const
{
    const qreal height = scrollView_->height() / scale;
    const qreal width = scrollView_->width() / scale;
    return {center.x() - width / 2.0, center.y() - height / 2.0, width, height};
}

void OnePageViewController::initOffsetWithIsPortrait(bool isPortrait)
{
    if (display_ != Display::Image)
        return;
    scrollView_->layoutZoomView();
}

void OnePageViewController::pageImageViewGotSingleTapAtPoint(PageImageView *, QPointF, QPointF superViewPoint)
{
    if (delegate_)
        delegate_->onePageViewControllerGotSingleTapAtPoint(this, superViewPoint);
}

void OnePageViewController::pageImageViewGotDoubleTapAtPoint(PageImageView *, QPointF point)
{
    const qreal zoom = scrollView_->zoomScale();
    const qreal target =
        isZoomed() ? scrollView_->minimumZoomScale() : zoom * (Device::isPortrait(orientation_) ? 1.8 : 1.5);
    scrollView_->zoomToRect(zoomRectForScale(target, point / zoom));
}

void OnePageViewController::pageImageViewGotTwoFingerTapAtPoint(PageImageView *, QPointF point)
{
    const qreal zoom = scrollView_->zoomScale();
    scrollView_->zoomToRect(zoomRectForScale(scrollView_->minimumZoomScale(), point / zoom));
    if (delegate_)
        delegate_->onePageViewControllerGotTwoFingerTap(this);
}

void OnePageViewController::mousePressEvent(QMouseEvent *event)
{
    pressPosition_ = event->position();
    pressMoved_ = false;
    if (event->button() == Qt::LeftButton)
        scrollView_->dragStarted(event->globalPosition());
    event->accept();
}

void OnePageViewController::mouseMoveEvent(QMouseEvent *event)
{
    if ((event->position() - pressPosition_).manhattanLength() > kClickSlop)
        pressMoved_ = true;
    scrollView_->dragMoved(event->globalPosition());
}

void OnePageViewController::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        scrollView_->dragEnded(event->globalPosition());
    if (pressMoved_ || !delegate_)
        return;
    // A click beside the page counts at once, as a touch ending on the
    // viewer itself does.
    if (event->button() == Qt::RightButton ||
        (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier)))
        delegate_->onePageViewControllerGotTwoFingerTap(this);
    else if (event->button() == Qt::LeftButton)
        delegate_->onePageViewControllerGotSingleTapAtPoint(this, event->position());
}

void OnePageViewController::resizeEvent(QResizeEvent *event)
{
    ViewController::resizeEvent(event);
    scrollView_->setGeometry(rect());
    if (messageView_) {
        if (display_ == Display::Message)
            messageView_->setGeometry(0, (height() - kMessageHeight) / 2, width(), kMessageHeight);
        else
            messageView_->setGeometry(scrollView_->rect());
    }
    refit();
}
