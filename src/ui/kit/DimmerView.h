#pragma once

#include <QWidget>

// Black at a chosen opacity over everything in its parent, for reading in
// the dark. Input passes straight through it, and it rises back on top when
// something new (a modal screen, the wait overlay) is added to the parent.
// Thread contract: main thread only.
class DimmerView : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DimmerView)

public:
    explicit DimmerView(QWidget *parent);

    double alpha() const { return alpha_; }
    // 0 is fully clear, 1 fully black; values outside are clamped.
    void setAlpha(double alpha);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    double alpha_ = 0.0;
};
