#pragma once

#include <QAbstractButton>

// An on/off switch: a rounded track, lit when on, with a round knob.
// A click or the space bar flips it; clicked(bool) reports the new state.
// Thread contract: main thread only.
class Switch : public QAbstractButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Switch)

public:
    explicit Switch(QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
};
