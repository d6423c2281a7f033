#include "reader/PageImage.h"

std::atomic<int> PageImage::live_{0};
std::atomic<int> PageImage::highest_{0};

PageImage::PageImage(QImage image, QSize fullSize, double scale, bool whole, int decodedHeight)
    : image_(std::move(image)), fullSize_(fullSize), scale_(scale), whole_(whole),
      decodedHeight_(whole || decodedHeight < image_.height() ? image_.height() : decodedHeight)
{
    const int now = live_.fetch_add(1) + 1;
    int seen = highest_.load();
    while (now > seen && !highest_.compare_exchange_weak(seen, now)) {
    }
}

PageImage::~PageImage()
{
    live_.fetch_sub(1);
}
