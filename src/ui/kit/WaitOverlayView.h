#pragma once

#include <QWidget>

class QLabel;
class QTimer;

// "Please wait..." over the whole window while long work runs: a centred
// dark box with a two-line white label and a spinner. It covers its parent
// and takes every input event of the window while shown (clicks, keys,
// shortcuts, wheel, touch), so nothing reaches the screens beneath, the tab
// bar included; screens presented meanwhile go under it. Only the dimmer
// stays above it. It is hidden when idle.
// Thread contract: main thread only; background work updates the label by
// handing the text over to the main thread.
class WaitOverlayView : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WaitOverlayView)

public:
    explicit WaitOverlayView(QWidget *parent);

    static QString defaultText();
    QLabel *label() const { return label_; }
    void showWithText(const QString &text);
    // Hides the overlay and puts the default text back for next time.
    void hideAndReset();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QRect boxRect() const;
    void stayOnTop();

    QLabel *label_ = nullptr;
    QTimer *spinTimer_ = nullptr;
    int spinStep_ = 0;
};
