#include "ui/kit/NavigationController.h"

#include <QStackedWidget>
#include <QVBoxLayout>

#include "foundation/Localized.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationItem.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TabBarItem.h"

NavigationController::NavigationController(std::unique_ptr<ViewController> root, QWidget *parent)
    : ViewController(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    bar_ = new NavigationBar(this);
    pages_ = new QStackedWidget(this);
    layout->addWidget(bar_);
    layout->addWidget(pages_, 1);
    connect(bar_, &NavigationBar::backPressed, this, [this] { popViewController(); });

    ViewController *vc = root.release();
    pages_->addWidget(vc);
    setParentViewController(vc, this);
    stack_.push_back(vc);
    // A stack is named after its root screen in the tab bar.
    tabBarItem()->setTitle(vc->tabBarItem()->title());
    connect(vc, &ViewController::titleChanged, this,
            [this](const QString &title) { tabBarItem()->setTitle(title); });
    updateBar();
}

ViewController *NavigationController::topViewController() const
{
    return stack_.back();
}

ViewController *NavigationController::rootViewController() const
{
    return stack_.front();
}

void NavigationController::pushViewController(std::unique_ptr<ViewController> vc)
{
    ViewController *from = topViewController();
    ViewController *to = vc.release();
    pages_->addWidget(to);
    setParentViewController(to, this);
    to->loadViewIfNeeded();
    stack_.push_back(to);
    transition(from, to);
}

ViewController *NavigationController::popViewController()
{
    if (stack_.size() < 2)
        return nullptr;
    ViewController *from = stack_.back();
    stack_.pop_back();
    transition(from, stack_.back());
    discard(from);
    return from;
}

void NavigationController::popToRootViewController()
{
    if (stack_.size() < 2)
        return;
    ViewController *from = stack_.back();
    // The screens between the top and the root leave without being seen.
    std::vector<ViewController *> dropped(stack_.begin() + 1, stack_.end());
    stack_.resize(1);
    transition(from, stack_.back());
    for (ViewController *vc : dropped)
        discard(vc);
}

void NavigationController::transition(ViewController *from, ViewController *to)
{
    const bool onScreen = isOnScreen();
    if (onScreen) {
        from->beginAppearanceTransition(false);
        to->beginAppearanceTransition(true);
    }
    pages_->setCurrentWidget(to);
    updateBar();
    if (TabBarController *tabs = tabBarController())
        tabs->updateTabBarVisibility();
    if (onScreen) {
        from->endAppearanceTransition();
        to->endAppearanceTransition();
    }
}

void NavigationController::discard(ViewController *vc)
{
    pages_->removeWidget(vc);
    vc->hide();
    setParentViewController(vc, nullptr);
    vc->deleteLater();
}

void NavigationController::updateBar()
{
    QString backTitle;
    if (stack_.size() > 1) {
        ViewController *previous = stack_[stack_.size() - 2];
        backTitle = previous->navigationItem()->backTitle();
        if (backTitle.isEmpty())
            backTitle = previous->navigationItem()->title();
        if (backTitle.isEmpty())
            backTitle = localized("Back");
    }
    bar_->setItem(topViewController()->navigationItem(), backTitle);
}

bool NavigationController::isNavigationBarHidden() const
{
    return bar_->isHidden();
}

void NavigationController::setNavigationBarHidden(bool hidden)
{
    bar_->setHidden(hidden);
}

bool NavigationController::wantsBottomBarHidden() const
{
    // Once a screen that hides the tab bar is pushed, the tab bar stays away
    // for every screen above it as well.
    for (std::size_t i = 1; i < stack_.size(); ++i) {
        if (stack_[i]->hidesBottomBarWhenPushed())
            return true;
    }
    return false;
}
