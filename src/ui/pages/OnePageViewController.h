#pragma once

#include <memory>
#include <optional>

#include <QPointer>

#include "reader/PageImage.h"
#include "reader/PageImageLoader.h"
#include "reader/PageSizer.h"
#include "ui/kit/ScreenServices.h"
#include "ui/kit/ViewController.h"
#include "ui/pages/PageImageView.h"
#include "ui/pages/PageImageViewDelegate.h"

class OnePageViewControllerDelegate;
class Page;
class PagesData;
class PagesScrollView;
class QLabel;

// One page slot of the viewer: a zooming view showing one page of the
// chapter, cut by its stored borders when "cropPage" is on, or a message
// when the page cannot be shown. loadPage() always starts again from the
// page's record; the picture itself is decoded off the main thread and
// shown when it arrives (at once when the viewer already holds it).
// The viewer keeps two slots and swaps their roles at every flip.
// Thread contract: main thread only.
class OnePageViewController : public ViewController, public PageImageViewDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OnePageViewController)

public:
    enum class Display { Nothing, Loading, Image, Message, Placeholder };

    OnePageViewController(std::shared_ptr<PagesData> pagesData, ScreenServices services,
                          PageImageLoader *loader, QWidget *parent = nullptr);
    ~OnePageViewController() override;

    int pageNumber() const { return pageNumber_; }
    const std::shared_ptr<PagesData> &pagesData() const { return pagesData_; }
    void setPagesData(std::shared_ptr<PagesData> pagesData) { pagesData_ = std::move(pagesData); }
    OnePageViewControllerDelegate *delegate() const { return delegate_; }
    void setDelegate(OnePageViewControllerDelegate *delegate) { delegate_ = delegate; }

    // Ignored unless 0 <= index < page count.
    virtual void loadPage(int index);
    void reloadPage() { loadPage(pageNumber_); }
    // The record promises a picture worth decoding: wider and taller than
    // one pixel and narrower than 2500.
    bool imageExists() const;

    bool uncropPage() const { return uncropPage_; }
    void setUncropPage(bool uncrop) { uncropPage_ = uncrop; }
    bool isCropped() const { return isCropped_; }
    int orientation() const { return orientation_; }
    void setOrientation(int orientation) { orientation_ = orientation; }

    // The zoom relative to the fitted scale; exactly 1 within 1 %.
    float relativeZoomScale() const;
    // Applied by the next page shown.
    void setRelativeZoomScale(float scale) { relativeZoomScale_ = scale; }
    bool isZoomed() const { return relativeZoomScale() > 1.0f; }
    void resetZoom();
    QRectF zoomRectForScale(qreal scale, QPointF center) const;
    // Centres the page across again (the menu or the picker came or went).
    void initOffsetWithIsPortrait(bool isPortrait);
    // Fits the page shown to the slot's size again, keeping its zoom.
    void refit();

    Display display() const { return display_; }
    // The page shown is taller than the device can turn with.
    double shownPageHeight() const;
    QString messageText() const;
    PageImageView *imageView() const { return imageView_; }
    PagesScrollView *scrollView() const { return scrollView_; }
    // What decoding the page `index` asks for, for holding it ready.
    PageImageRequest requestForPage(int index) const;
    // The same, cut or not whatever "cropPage" says.
    PageImageRequest requestForPage(int index, bool cut) const;
    // The request of the page shown, while it is shown or loading.
    const PageImageRequest &currentRequest() const { return request_; }
    // Showing the top of its page while the whole page is decoded; it tells
    // its delegate the page is shown again when the whole page is in.
    bool isWaitingForWholePage() const { return display_ == Display::Image && image_ && !image_->isWhole(); }

    // PageImageViewDelegate
    void pageImageViewGotSingleTapAtPoint(PageImageView *view, QPointF point,
                                          QPointF superViewPoint) override;
    void pageImageViewGotDoubleTapAtPoint(PageImageView *view, QPointF point) override;
    void pageImageViewGotTwoFingerTapAtPoint(PageImageView *view, QPointF point) override;

protected:
    std::shared_ptr<Page> page(int index) const;
    void addImageView();
    virtual void addErrorView();
    // The library's message for a page that cannot be shown.
    void showMessage(const QString &text);
    void showLibraryMessage();
    void removeShownView();
    void pageShown();
    void setDisplay(Display display) { display_ = display; }
    ScreenServices &services() { return services_; }

    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void showImage(std::shared_ptr<const PageImage> image);
    // Scales the top rows of the page being decoded for the view it will
    // have, so that little is left to scale when the page comes.
    void prepareRows(const PageImageRows &rows);
    // The fitting, zoom limits and zoom of a page of `full` pixels.
    PageSizer sizerFor(QSizeF full) const;
    void layoutImage(qreal relativeZoom);
    // Asks for a sharper decode when zoomed past the shown one, and with
    // `whole` for the whole page when only its top is shown; swaps it in
    // without moving.
    void ensureResolution(bool whole);
    void applyBackground();

    std::shared_ptr<PagesData> pagesData_;
    ScreenServices services_;
    PageImageLoader *loader_;
    OnePageViewControllerDelegate *delegate_ = nullptr;
    PagesScrollView *scrollView_ = nullptr; // QObject children
    QPointer<PageImageView> imageView_; // the page view while a page is shown
    QPointer<PageImageView> pageView_;
    QPointer<QWidget> messageView_;
    std::shared_ptr<const PageImage> image_;
    std::optional<GrayScaler> preparing_;
    PageImageRequest request_;
    int pageNumber_ = 0;
    float relativeZoomScale_ = 1.0f;
    bool uncropPage_ = false;
    bool isCropped_ = false;
    int orientation_ = 1;
    Display display_ = Display::Nothing;
    QPointF pressPosition_;
    bool pressMoved_ = false;
};
