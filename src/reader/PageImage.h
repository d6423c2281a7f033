#pragma once

#include <algorithm>
#include <atomic>

#include <QImage>
#include <QSize>

// One decoded page as the viewer shows it: the pixels, possibly decoded at
// a fraction of the file's size, and the size of the shown part in the
// file's own pixels, in which all geometry (fitting, zoom limits, stored
// borders) is reckoned. A page first seen only in part holds just its top
// rows, the ones on screen, until the whole decode replaces it. Counted
// while alive, so that a benchmark can prove how many decoded pages the
// viewer holds at once.
// Thread contract: made on a decoding thread, immutable afterwards, shared
// between threads through shared_ptr<const PageImage>.
class PageImage
{
public:
    // `whole` false: the image holds only the top `image.height()` of the
    // `decodedHeight` rows of the page at its decoded scale.
    PageImage(QImage image, QSize fullSize, double scale, bool whole = true, int decodedHeight = 0);
    ~PageImage();
    PageImage(const PageImage &) = delete;
    PageImage &operator=(const PageImage &) = delete;

    const QImage &image() const { return image_; }
    QSize fullSize() const { return fullSize_; }
    // Decoded pixels per file pixel: 1 at full size, below when scaled.
    double scale() const { return scale_; }
    bool isFullSize() const { return scale_ >= 1.0; }
    bool isWhole() const { return whole_; }
    // Rows of the whole page at the decoded scale.
    int decodedHeight() const { return decodedHeight_; }
    // How much of the page's height, in the file's pixels, the image holds.
    double coveredHeight() const
    {
        return whole_ ? fullSize_.height() : std::min<double>(fullSize_.height(), image_.height() / scale_);
    }

    static int liveCount() { return live_.load(); }
    static int highestLiveCount() { return highest_.load(); }
    static void resetHighestLiveCount() { highest_.store(live_.load()); }

private:
    QImage image_;
    QSize fullSize_;
    double scale_;
    bool whole_;
    int decodedHeight_;
    static std::atomic<int> live_;
    static std::atomic<int> highest_;
};
