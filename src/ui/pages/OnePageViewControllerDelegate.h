#pragma once

#include <QPointF>

class OnePageViewController;

// What a page slot tells the viewer that holds it.
class OnePageViewControllerDelegate
{
public:
    virtual ~OnePageViewControllerDelegate() = default;
    // `point` in the slot's view.
    virtual void onePageViewControllerGotSingleTapAtPoint(OnePageViewController *slot, QPointF point) {}
    // The page asked for by loadPage() is on screen (picture or message).
    virtual void onePageViewControllerDidShowPage(OnePageViewController *slot) {}
    // -1: swiped towards the left (next page); +1: towards the right.
    virtual void onePageViewControllerGotSwipe(OnePageViewController *slot, int direction) {}
    // +1: the wheel went on past the page's foot; -1: past its top.
    virtual void onePageViewControllerScrolledPastEnd(OnePageViewController *slot, int direction) {}
    // A right-click beside the page.
    virtual void onePageViewControllerGotTwoFingerTap(OnePageViewController *slot) {}
};
