#pragma once

#include <functional>

#include <QWidget>

// The application's one window. A desktop has no home screen to leave for,
// so the window stands in for it: minimising or hiding the window sends the
// application to the background, restoring or showing it again brings it
// back to the foreground. Its first showing is the launch, not a return.
// The window's shape also stands in for the device's orientation: wider than
// tall is landscape, and rotate() turns the window as a user turns a device.
// Thread contract: main thread only.
class AppWindow : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AppWindow)

public:
    explicit AppWindow(QWidget *parent = nullptr);

    bool isInBackground() const { return background_; }

    // Swaps width and height (Ctrl+R), unless the screen on top refuses
    // the new orientation.
    void rotate();
    // F11.
    void toggleFullScreen();

    // Asked before the window turns to an orientation; a resize the answer
    // refuses keeps the orientation and only gives the screens a new size.
    using OrientationQuery = std::function<bool(int orientation)>;
    void setOrientationQuery(OrientationQuery query) { orientationQuery_ = std::move(query); }
    bool mayRotateTo(int orientation) const { return !orientationQuery_ || orientationQuery_(orientation); }

Q_SIGNALS:
    void didEnterBackground();
    void willEnterForeground();
    void orientationDidChange(int orientation);

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void enterBackground();
    void enterForeground();

    bool background_ = false;
    OrientationQuery orientationQuery_;
};
