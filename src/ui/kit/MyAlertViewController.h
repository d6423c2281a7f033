#pragma once

#include <functional>

#include <QPointer>

#include "ui/kit/ViewController.h"

class QLabel;
class QPushButton;
class QSequentialAnimationGroup;
class QVBoxLayout;

// A notice laid over the screen that shows it, in place of a system alert:
// a shade over the whole screen with a panel holding a picture, the title,
// the message and an "Ok" button. The view follows its screen's size. It
// fades in, 0.3 seconds after it is laid over the screen, and stays until
// the screen removes it (usually from the button's callback). Return,
// Enter and Escape press the button.
// Thread contract: main thread only.
class MyAlertViewController : public ViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MyAlertViewController)

public:
    // Called when the button is pressed, while `delegate` still exists.
    using ButtonSelector = std::function<void(MyAlertViewController *alert)>;

    MyAlertViewController(const QString &title, const QString &message, QObject *delegate,
                          ButtonSelector buttonSelector, QWidget *parent = nullptr);
    ~MyAlertViewController() override;

    QString message() const { return message_; }

    QLabel *label() const { return label_; }
    QLabel *textView() const { return textView_; }
    QLabel *imageView() const { return imageView_; }
    QPushButton *okButton() const { return okButton_; }

    // What pressing the button does.
    void okButtonClicked();

    // Lays the view over `screen` and starts the fade-in; nothing when it
    // is already there.
    void showOver(QWidget *screen);
    // Takes the view off its screen; it can be shown again later.
    void removeFromScreen();
    bool isShowing() const { return !isHidden(); }
    // The view's opacity: 0 until the fade starts, 1 once it has ended.
    double opacity() const;

protected:
    void viewDidLoad() override;
    // Where a variant adds its own controls, between the message and the button.
    QVBoxLayout *panelLayout() const { return panelLayout_; }
    virtual void addControls() {}

    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void placePanel();
    void stopFade();

    QString message_;
    QPointer<QObject> delegate_;
    ButtonSelector buttonSelector_;
    QWidget *panel_ = nullptr; // QObject children from here on
    QVBoxLayout *panelLayout_ = nullptr;
    QLabel *label_ = nullptr;
    QLabel *textView_ = nullptr;
    QLabel *imageView_ = nullptr;
    QPushButton *okButton_ = nullptr;
    QSequentialAnimationGroup *fade_ = nullptr;
};
