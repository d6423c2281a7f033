#pragma once

#include <memory>
#include <vector>

#include "ui/kit/ViewController.h"

class QStackedWidget;
class TabBar;

// Screens (usually navigation stacks) behind the tabs of a bottom tab bar.
// It owns its screens. Tapping the selected tab again takes a navigation
// stack back to its root.
// Thread contract: main thread only.
class TabBarController : public ViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabBarController)

public:
    explicit TabBarController(QWidget *parent = nullptr);

    void addViewController(std::unique_ptr<ViewController> vc);
    int count() const { return static_cast<int>(tabs_.size()); }
    ViewController *viewController(int index) const;

    int selectedIndex() const { return selected_; }
    // An index the tab bar does not have is ignored.
    void setSelectedIndex(int index);
    ViewController *selectedViewController() const { return viewController(selected_); }

    TabBar *tabBar() const { return bar_; }
    // Hides the bar while the selected screen asks for it (a pushed screen
    // that hides the bottom bar).
    void updateTabBarVisibility();

Q_SIGNALS:
    void selectedIndexChanged(int index);

protected:
    ViewController *visibleChildViewController() const override { return selectedViewController(); }

private:
    void tabClicked(int index);

    QStackedWidget *pages_ = nullptr;
    TabBar *bar_ = nullptr;
    std::vector<ViewController *> tabs_; // widgets owned by pages_
    int selected_ = -1;
};
