#include "ui/internet/AsyncImageView.h"

#include <QPainter>
#include <QPointer>

#include "foundation/MainThread.h"
#include "foundation/Operation.h"
#include "foundation/OperationQueue.h"
#include "ui/kit/ActivityIndicatorView.h"
#include "web/HttpRequest.h"

namespace {

constexpr double CoverTimeOutSeconds = 30.0;

// Fetches and decodes one picture, then hands it to its view unless the view
// has gone or moved on to another load.
class CoverLoad : public Operation
{
public:
    explicit CoverLoad(QUrl url) : url_(std::move(url)) {}
    // Set before the load is queued.
    void setDone(std::function<void(const QImage &)> done) { done_ = std::move(done); }

    void main() override
    {
        HttpRequest request(url_);
        request.setTimeOutSeconds(CoverTimeOutSeconds);
        runCancellable([&] { request.startSynchronous(); }, [&] { request.cancel(); });
        if (isCancelled())
            return;
        QImage image;
        if (!request.error() && request.responseStatusCode() < 400)
            image = QImage::fromData(request.responseData());
        performOnMain([done = done_, image] { done(image); });
    }

private:
    QUrl url_;
    std::function<void(const QImage &)> done_;
};

} // namespace

AsyncImageView::AsyncImageView(QWidget *parent) : QWidget(parent)
{
    activityIndicator_ = new ActivityIndicatorView(QColor(0x80, 0x80, 0x80), this);
    activityIndicator_->resize(20, 20);
}

AsyncImageView::~AsyncImageView()
{
    if (load_)
        load_->cancel();
}

OperationQueue &AsyncImageView::queue()
{
    static OperationQueue covers(2);
    return covers;
}

void AsyncImageView::loadImageFromURL(const QUrl &url)
{
    if (load_)
        load_->cancel();
    auto load = std::make_shared<CoverLoad>(url);
    // The view is asked on the main thread whether this load is still the
    // one it waits for; a view that is gone is never touched.
    load->setDone([self = QPointer<AsyncImageView>(this), key = load.get()](const QImage &image) {
        if (self)
            self->finishLoad(key, image);
    });
    load_ = load;
    activityIndicator_->startAnimating();
    queue().addOperation(load);
}

void AsyncImageView::finishLoad(const Operation *load, const QImage &image)
{
    if (load != load_.get())
        return;
    if (image.isNull()) {
        // Nothing shows, and the spinner tells the user nothing came.
        Q_EMIT loadFinished(false);
        return;
    }
    load_.reset();
    image_ = image;
    activityIndicator_->stopAnimating();
    update();
    Q_EMIT loadFinished(true);
}

void AsyncImageView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    activityIndicator_->move((width() - activityIndicator_->width()) / 2,
                             (height() - activityIndicator_->height()) / 2);
}

void AsyncImageView::paintEvent(QPaintEvent *)
{
    if (image_.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize fitted = image_.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
    painter.drawImage(target, image_);
}
