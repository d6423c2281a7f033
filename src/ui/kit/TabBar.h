#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

class TabBarItem;

// The strip of tabs at the bottom of the window: equal cells with each
// item's title, the selected one lit, and a red badge where an item has one.
// Thread contract: main thread only.
class TabBar : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabBar)

public:
    explicit TabBar(QWidget *parent = nullptr);

    void addItem(TabBarItem *item);
    int count() const { return static_cast<int>(items_.size()); }
    TabBarItem *item(int index) const;
    int selectedIndex() const { return selected_; }
    void setSelectedIndex(int index);

    QSize sizeHint() const override;

Q_SIGNALS:
    void tabClicked(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QRect cellRect(int index) const;

    std::vector<QPointer<TabBarItem>> items_;
    int selected_ = -1;
};
