#pragma once

#include <functional>

#include <QStringList>
#include <QWidget>

class QVBoxLayout;

// A list of choices sliding up from the bottom of the window, over a shade
// that closes it like the cancel button (or Escape) does. Buttons are numbered from the
// top: the destructive one (when given), the others, then cancel last.
// Thread contract: main thread only.
class ActionSheet : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ActionSheet)

public:
    struct Request {
        QString title;
        QString cancelButton;
        QString destructiveButton;
        QStringList otherButtons;
        std::function<void(int buttonIndex)> onButton;
    };

    // Shows the sheet over the window of `over` and returns at once; the
    // sheet deletes itself once a button is pressed.
    static ActionSheet *show(QWidget *over, Request request);

    QStringList buttonTitles() const;
    int cancelButtonIndex() const;
    // What a click on button `index` does.
    void press(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    ActionSheet(QWidget *host, Request request);

    Request request_;
    QStringList titles_;
    QWidget *panel_ = nullptr;
    bool done_ = false;
};
