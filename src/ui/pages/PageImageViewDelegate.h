#pragma once

#include <QPointF>

class PageImageView;

// What a page image view reports of the taps on it; every method may be
// left out.
class PageImageViewDelegate
{
public:
    virtual ~PageImageViewDelegate() = default;
    // `point` in the image view, `superViewPoint` in the page slot's view.
    virtual void pageImageViewGotSingleTapAtPoint(PageImageView *view, QPointF point, QPointF superViewPoint)
    {}
    virtual void pageImageViewGotDoubleTapAtPoint(PageImageView *view, QPointF point) {}
    virtual void pageImageViewGotTwoFingerTapAtPoint(PageImageView *view, QPointF point) {}
};
