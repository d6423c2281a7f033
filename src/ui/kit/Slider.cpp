#include "ui/kit/Slider.h"

#include <algorithm>
#include <cmath>

namespace {
// Steps of the underlying integer slider: finer than any pointer can place.
constexpr int Steps = 1000;
} // namespace

Slider::Slider(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    setRange(0, Steps);
    setSingleStep(Steps / 20);
    setPageStep(Steps / 5);
    setTracking(true);
    setMinimumWidth(80);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setStyleSheet(
        QStringLiteral("QSlider { min-height: 28px; background: transparent; }"
                       "QSlider::groove:horizontal { height: 4px; background: #c7c7cc; border-radius: 2px; }"
                       "QSlider::sub-page:horizontal { background: #1f6fd6; border-radius: 2px; }"
                       "QSlider::handle:horizontal { background: white; border: 1px solid #b4b4b8; width: "
                       "24px; height: 24px; "
                       "margin: -11px 0; border-radius: 12px; }"
                       "QSlider::handle:horizontal:focus { border: 2px solid #3da5ff; }"));
    connect(this, &QSlider::valueChanged, this,
            [this](int value) { Q_EMIT doubleValueChanged(double(value) / Steps); });
}

double Slider::doubleValue() const
{
    return double(value()) / Steps;
}

void Slider::setDoubleValue(double value)
{
    setValue(int(std::lround(std::clamp(value, 0.0, 1.0) * Steps)));
}
