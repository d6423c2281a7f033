#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QWidget;

// What a screen shows in the navigation bar while it is on top of a stack:
// its title or a title view, the buttons at either side, and the title the
// next screen's back button shows for it. The actions and the title view
// stay owned by the screen; the bar only displays them.
// Thread contract: main thread only.
class NavigationItem : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavigationItem)

public:
    explicit NavigationItem(QObject *parent = nullptr);

    QString title() const { return title_; }
    void setTitle(const QString &title);

    QWidget *titleView() const { return titleView_; }
    void setTitleView(QWidget *view);

    QAction *leftBarButtonItem() const { return left_; }
    void setLeftBarButtonItem(QAction *action);
    QAction *rightBarButtonItem() const { return right_; }
    void setRightBarButtonItem(QAction *action);

    // The back button of a screen pushed over this one shows this text;
    // empty means this screen's title.
    QString backTitle() const { return backTitle_; }
    void setBackTitle(const QString &title);

    bool hidesBackButton() const { return hidesBackButton_; }
    void setHidesBackButton(bool hides);

Q_SIGNALS:
    void changed();

private:
    QString title_;
    QString backTitle_;
    QPointer<QWidget> titleView_;
    QPointer<QAction> left_;
    QPointer<QAction> right_;
    bool hidesBackButton_ = false;
};
