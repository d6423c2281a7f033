#pragma once

#include <memory>
#include <vector>

#include "ui/kit/ViewController.h"

class NavigationBar;
class QStackedWidget;

// A stack of screens under a navigation bar. The stack owns its screens;
// a popped screen is deleted once control returns to the event loop, so a
// screen may pop itself from one of its own buttons.
// Thread contract: main thread only.
class NavigationController : public ViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavigationController)

public:
    explicit NavigationController(std::unique_ptr<ViewController> root, QWidget *parent = nullptr);

    void pushViewController(std::unique_ptr<ViewController> vc);
    // Returns the screen taken off (valid until the event loop runs), or
    // null when only the root is left.
    ViewController *popViewController();
    void popToRootViewController();

    ViewController *topViewController() const;
    ViewController *rootViewController() const;
    const std::vector<ViewController *> &viewControllers() const { return stack_; }

    NavigationBar *navigationBar() const { return bar_; }
    bool isNavigationBarHidden() const;
    void setNavigationBarHidden(bool hidden);

protected:
    ViewController *visibleChildViewController() const override { return topViewController(); }
    bool wantsBottomBarHidden() const override;

private:
    // Replaces the top of the stack by `to`, telling both screens in the
    // handheld order: will-disappear, will-appear, did-disappear, did-appear.
    void transition(ViewController *from, ViewController *to);
    void discard(ViewController *vc);
    void updateBar();

    NavigationBar *bar_ = nullptr;
    QStackedWidget *pages_ = nullptr;
    std::vector<ViewController *> stack_; // widgets owned by pages_ (QObject children)
};
