#pragma once

#include <QSlider>

// A horizontal slider over 0 to 1 that reports every move (continuous),
// drawn as a thin track lit up to a round thumb.
// Thread contract: main thread only.
class Slider : public QSlider
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Slider)

public:
    explicit Slider(QWidget *parent = nullptr);

    double doubleValue() const;
    // Clamped to 0 to 1. Reports a change like a move does.
    void setDoubleValue(double value);

Q_SIGNALS:
    void doubleValueChanged(double value);
};
