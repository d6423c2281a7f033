#include <gtest/gtest.h>

#include <cmath>

#include "reader/PageSizer.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct FitCase {
    const char *name;
    Device::Idiom idiom;
    bool portrait;
    float slider;
    float width, height; // the page at zoom 1
    float scale, x;
};

} // namespace

TEST(PageSizer, ComputesScaleAndCentring)
{
    using enum Device::Idiom;
    // Screens: a tablet of 768 × 1024 upright, a phone of 320 × 480.
    const FitCase cases[] = {
        {"phone ignores the setting", Phone, true, 0.0f, 600, 900, 320.0f / 600, 0},
        {"phone on its side", Phone, false, 0.7f, 600, 400, 480.0f / 600, 0},
        {"fit to width", Pad, true, 1.0f, 700, 1000, 768.0f / 700, 0},
        {"fit to page, aspect 0.7 by height", Pad, true, 0.7f, 700, 1000, 1.024f, (768 - 716.8f) / 2},
        {"fit to page reaches down to 0.75", Pad, true, 0.75f, 700, 1000, 1.024f, (768 - 716.8f) / 2},
        {"fit to page, aspect 0.75 by width", Pad, true, 0.7f, 750, 1000, 768.0f / 750, 0},
        {"fit to page, aspect 0.5 by width", Pad, true, 0.7f, 500, 1000, 768.0f / 500, 0},
        {"fit to page, unknown aspect by width", Pad, true, 0.7f, 700, kNaN, 768.0f / 700, 0},
        {"fit to page in landscape by width", Pad, false, 0.7f, 700, 1000, 1024.0f / 700, 0},
        {"smaller, single page", Pad, true, 0.4f, 700, 1000, 0.85f * 768 / 700, 0.075f * 768},
        {"smaller reaches down to 0.5", Pad, true, 0.5f, 700, 1000, 0.85f * 768 / 700, 0.075f * 768},
        {"smaller, spread", Pad, true, 0.4f, 1200, 1000, 768.0f / 1200, 0},
        {"smaller, unknown aspect", Pad, true, 0.4f, 700, kNaN, 768.0f / 700, 0},
        {"smallest, single page", Pad, true, 0.0f, 700, 1000, 0.8f * 768 / 700, 0.1f * 768},
        {"smallest reaches up to 0.25", Pad, true, 0.25f, 700, 1000, 0.8f * 768 / 700, 0.1f * 768},
        {"smallest, spread", Pad, false, 0.0f, 1200, 1000, 1024.0f / 1200, 0},
        {"an image without width stays unscaled", Pad, true, 0.4f, 0, 1000, 1, 0},
    };
    for (const FitCase &c : cases) {
        SCOPED_TRACE(c.name);
        const QRectF screen = c.idiom == Pad ? QRectF(0, 0, 768, 1024) : QRectF(0, 0, 320, 480);
        const QRectF scrollView = c.portrait ? screen : screen.transposed();
        PageSizer sizer(QRectF(0, 0, c.width, c.height), scrollView, c.slider, c.portrait, c.idiom);
        sizer.compute();
        EXPECT_NEAR(sizer.minimumScale(), c.scale, 1e-5);
        EXPECT_NEAR(sizer.offset().x(), c.x, 1e-3);
        EXPECT_EQ(sizer.offset().y(), 0);
    }
}

TEST(PageSizer, RecentresWithoutStoring)
{
    // Re-centring after a zoom: the frame already holds the zoomed size.
    PageSizer sizer(QRectF(0, 0, 600, 900), QRectF(0, 0, 768, 1024), 1.0f, true, Device::Idiom::Pad);
    EXPECT_EQ(sizer.computeOffsetWithMinimumScale(1.0f), QPointF(84, 0));
    EXPECT_EQ(sizer.computeOffsetWithMinimumScale(2.0f), QPointF(0, 0));
    EXPECT_EQ(sizer.offset(), QPointF(0, 0));
}

TEST(PageSizer, SliderLabelsAndStoredValues)
{
    const struct {
        float value;
        const char *label;
        float adjusted;
    } cases[] = {{0.0f, "Smallest", 0.0f},      {0.25f, "Smallest", 0.0f},    {0.26f, "Smaller", 0.4f},
                 {0.5f, "Smaller", 0.4f},       {0.51f, "Fit to page", 0.7f}, {0.75f, "Fit to page", 0.7f},
                 {0.76f, "Fit to width", 1.0f}, {1.0f, "Fit to width", 1.0f}};
    for (const auto &c : cases) {
        EXPECT_EQ(PageSizer::sliderLabelTextFromSliderValue(c.value), QString::fromUtf8(c.label)) << c.value;
        EXPECT_EQ(PageSizer::adjustedSliderValue(c.value), c.adjusted) << c.value;
    }
}
