#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

#include "foundation/Device.h"

// Chooses the minimum zoom scale at which a page is shown and the horizontal
// offset that centres a page narrower than the screen. Built afresh for every
// layout of a page; nothing carries over between pages.
// Thread contract: a plain value object, used on the main thread by the viewer.
class PageSizer
{
public:
    // pageSize is the "portraitPageSize" setting in [0, 1]. The idiom defaults
    // to the device's so the viewer need not pass it; tests pass it outright.
    PageSizer(const QRectF &imageViewFrame, const QRectF &scrollViewFrame, float pageSize, bool isPortrait,
              Device::Idiom idiom = Device::idiom());

    // Sets minimumScale and offset.
    void compute();
    QPointF computeOffsetWithMinimumScale(float scale) const;
    void setMinimumScaleByWidthWithScale(float scale);
    void setMinimumScaleByHeightWithScale(float scale);

    float minimumScale() const { return minimumScale_; }
    QPointF offset() const { return offset_; }
    float sliderValue() const { return sliderValue_; }
    QRectF imageViewFrame() const { return imageViewFrame_; }
    QRectF scrollViewFrame() const { return scrollViewFrame_; }
    bool isPortrait() const { return isPortrait_; }

    // The page-size slider of the settings screen: its label, and the value
    // it snaps to before being stored.
    static QString sliderLabelTextFromSliderValue(float value);
    static float adjustedSliderValue(float value);

private:
    float minimumScale_ = 0;
    QPointF offset_;
    float sliderValue_;
    QRectF imageViewFrame_;
    QRectF scrollViewFrame_;
    bool isPortrait_;
    Device::Idiom idiom_;
};
