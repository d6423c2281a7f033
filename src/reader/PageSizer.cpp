#include "reader/PageSizer.h"

#include <cmath>

#include "foundation/Localized.h"

PageSizer::PageSizer(const QRectF &imageViewFrame, const QRectF &scrollViewFrame, float pageSize,
                     bool isPortrait, Device::Idiom idiom)
    : sliderValue_(pageSize), imageViewFrame_(imageViewFrame), scrollViewFrame_(scrollViewFrame),
      isPortrait_(isPortrait), idiom_(idiom)
{}

void PageSizer::compute()
{
    const float width = float(imageViewFrame_.width());
    const float height = float(imageViewFrame_.height());
    // An image view without a usable width would give an infinite or
    // undefined zoom, which the scroll view cannot take; show it unscaled.
    if (!(width > 0) || !std::isfinite(width)) {
        minimumScale_ = 1;
        offset_ = QPointF(0, 0);
        return;
    }

    // A phone screen is too narrow for anything but full width.
    if (idiom_ != Device::Idiom::Pad) {
        minimumScale_ = float(scrollViewFrame_.width()) / width;
        offset_ = QPointF(0, 0);
        return;
    }
    if (sliderValue_ > 0.75f) {
        setMinimumScaleByWidthWithScale(1.0f);
        offset_ = QPointF(0, 0);
        return;
    }

    // A NaN aspect fails every comparison below and so falls to full width.
    const float aspect = width / height;
    if (sliderValue_ > 0.5f) {
        // Only single pages of ordinary proportions fit whole on an upright
        // tablet; anything wider or narrower reads better at full width.
        if (isPortrait_ && aspect > 0.5f && aspect < 0.75f)
            setMinimumScaleByHeightWithScale(1.0f);
        else
            setMinimumScaleByWidthWithScale(1.0f);
    } else if (sliderValue_ > 0.25f) {
        // Double-page spreads (aspect 1.1 and up) always take the full width.
        setMinimumScaleByWidthWithScale(aspect < 1.1f ? 0.85f : 1.0f);
    } else {
        setMinimumScaleByWidthWithScale(aspect < 1.1f ? 0.8f : 1.0f);
    }
    offset_ = computeOffsetWithMinimumScale(minimumScale_);
}

QPointF PageSizer::computeOffsetWithMinimumScale(float scale) const
{
    const float shownWidth = scale * float(imageViewFrame_.width());
    const float screenWidth = float(scrollViewFrame_.width());
    const float x = shownWidth < screenWidth ? (screenWidth - shownWidth) * 0.5f : 0.0f;
    return QPointF(x, 0);
}

void PageSizer::setMinimumScaleByWidthWithScale(float scale)
{
    minimumScale_ = float(scrollViewFrame_.width()) / float(imageViewFrame_.width()) * scale;
}

void PageSizer::setMinimumScaleByHeightWithScale(float scale)
{
    minimumScale_ = float(scrollViewFrame_.height()) / float(imageViewFrame_.height()) * scale;
}

QString PageSizer::sliderLabelTextFromSliderValue(float value)
{
    if (value > 0.75f)
        return localized("Fit to width");
    if (value > 0.5f)
        return localized("Fit to page");
    if (value > 0.25f)
        return localized("Smaller");
    return localized("Smallest");
}

float PageSizer::adjustedSliderValue(float value)
{
    if (value > 0.75f)
        return 1.0f;
    if (value > 0.5f)
        return 0.7f;
    if (value > 0.25f)
        return 0.4f;
    return 0.0f;
}
