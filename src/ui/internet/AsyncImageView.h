#pragma once

#include <memory>

#include <QImage>
#include <QUrl>
#include <QWidget>

class ActivityIndicatorView;
class Operation;
class OperationQueue;

// A picture fetched from the network (a book's cover), with a small grey
// spinner while it comes. The request and the decoding run on a queue of
// their own; the main thread only paints. A failed load changes nothing: the
// spinner keeps turning and no picture shows.
// Thread contract: main thread only; the load reports on the main thread.
class AsyncImageView : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AsyncImageView)

public:
    explicit AsyncImageView(QWidget *parent = nullptr);
    ~AsyncImageView() override;

    // Drops a load in progress and starts this one.
    void loadImageFromURL(const QUrl &url);
    bool hasImage() const { return !image_.isNull(); }
    const QImage &image() const { return image_; }
    ActivityIndicatorView *activityIndicator() const { return activityIndicator_; }
    bool isLoading() const { return load_ != nullptr; }

    // Covers load on this queue; the screens never wait on it.
    static OperationQueue &queue();

Q_SIGNALS:
    // The load ended, with a picture or without.
    void loadFinished(bool loaded);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void finishLoad(const Operation *load, const QImage &image);

    QImage image_;
    std::shared_ptr<Operation> load_;
    ActivityIndicatorView *activityIndicator_ = nullptr; // created once, QObject child
};
