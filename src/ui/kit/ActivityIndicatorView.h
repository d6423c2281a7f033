#pragma once

#include <QColor>
#include <QWidget>

class QTimer;

// A small spinner of twelve spokes, turning while animating and hidden when
// stopped (unless told to stay).
// Thread contract: main thread only.
class ActivityIndicatorView : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ActivityIndicatorView)

public:
    explicit ActivityIndicatorView(QColor colour, QWidget *parent = nullptr);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const;

    QSize sizeHint() const override { return {20, 20}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor colour_;
    QTimer *timer_; // QObject child
    int step_ = 0;
};
