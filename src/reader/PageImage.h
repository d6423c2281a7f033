#pragma once

#include <atomic>

#include <QImage>
#include <QSize>

// One decoded page as the viewer shows it: the pixels, possibly decoded at
// a fraction of the file's size, and the size of the shown part in the
// file's own pixels, in which all geometry (fitting, zoom limits, stored
// borders) is reckoned. Counted while alive, so that a benchmark can prove
// how many decoded pages the viewer holds at once.
// Thread contract: made on a decoding thread, immutable afterwards, shared
// between threads through shared_ptr<const PageImage>.
class PageImage
{
public:
    PageImage(QImage image, QSize fullSize, double scale);
    ~PageImage();
    PageImage(const PageImage &) = delete;
    PageImage &operator=(const PageImage &) = delete;

    const QImage &image() const { return image_; }
    QSize fullSize() const { return fullSize_; }
    // Decoded pixels per file pixel: 1 at full size, below when scaled.
    double scale() const { return scale_; }
    bool isFullSize() const { return scale_ >= 1.0; }

    static int liveCount() { return live_.load(); }
    static int highestLiveCount() { return highest_.load(); }
    static void resetHighestLiveCount() { highest_.store(live_.load()); }

private:
    QImage image_;
    QSize fullSize_;
    double scale_;
    static std::atomic<int> live_;
    static std::atomic<int> highest_;
};
