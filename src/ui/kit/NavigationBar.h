#pragma once

#include <QPointer>
#include <QWidget>

class NavigationItem;
class QAction;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QToolButton;

// The bar over a navigation stack: a back button or the top screen's left
// button, its title (or title view) in the middle, its right button.
// Thread contract: main thread only.
class NavigationBar : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavigationBar)

public:
    enum class Style { Default, Black, BlackTranslucent };

    explicit NavigationBar(QWidget *parent = nullptr);

    Style barStyle() const { return style_; }
    void setBarStyle(Style style);

    // Shows item; backTitle is empty when there is no screen to go back to.
    void setItem(NavigationItem *item, const QString &backTitle);

    QString titleText() const;
    QWidget *titleView() const { return titleView_; }
    // Empty when no back button is shown.
    QString backButtonTitle() const;
    QToolButton *backButton() const { return back_; }
    QToolButton *leftButton() const { return left_; }
    QToolButton *rightButton() const { return right_; }

Q_SIGNALS:
    void backPressed();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void elideTitle();

    void refresh();
    void applyStyle();

    Style style_ = Style::Default;
    QPointer<NavigationItem> item_;
    QString backTitle_;
    QGridLayout *layout_ = nullptr;
    QHBoxLayout *leftBox_ = nullptr;
    QHBoxLayout *titleBox_ = nullptr;
    QToolButton *back_ = nullptr;
    QToolButton *left_ = nullptr;
    QToolButton *right_ = nullptr;
    QLabel *title_ = nullptr;
    QString fullTitle_; // the label may show it shortened
    QPointer<QWidget> titleView_;
    QPointer<QWidget> titleViewOwner_;
    QMetaObject::Connection itemConnection_;
};
