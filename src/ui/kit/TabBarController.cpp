#include "ui/kit/TabBarController.h"

#include <QStackedWidget>
#include <QVBoxLayout>

#include "ui/kit/NavigationController.h"
#include "ui/kit/TabBar.h"

TabBarController::TabBarController(QWidget *parent) : ViewController(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    pages_ = new QStackedWidget(this);
    bar_ = new TabBar(this);
    layout->addWidget(pages_, 1);
    layout->addWidget(bar_);
    connect(bar_, &TabBar::tabClicked, this, &TabBarController::tabClicked);
}

void TabBarController::addViewController(std::unique_ptr<ViewController> vc)
{
    ViewController *tab = vc.release();
    pages_->addWidget(tab);
    setParentViewController(tab, this);
    tabs_.push_back(tab);
    bar_->addItem(tab->tabBarItem());
    if (selected_ < 0) {
        selected_ = 0;
        bar_->setSelectedIndex(0);
        pages_->setCurrentWidget(tab);
        updateTabBarVisibility();
    }
}

ViewController *TabBarController::viewController(int index) const
{
    return index >= 0 && index < count() ? tabs_[index] : nullptr;
}

void TabBarController::setSelectedIndex(int index)
{
    if (index == selected_ || !viewController(index))
        return;
    ViewController *from = selectedViewController();
    ViewController *to = viewController(index);
    const bool onScreen = isOnScreen();
    if (onScreen) {
        from->beginAppearanceTransition(false);
        to->beginAppearanceTransition(true);
    }
    selected_ = index;
    bar_->setSelectedIndex(index);
    pages_->setCurrentWidget(to);
    updateTabBarVisibility();
    if (onScreen) {
        from->endAppearanceTransition();
        to->endAppearanceTransition();
    }
    Q_EMIT selectedIndexChanged(index);
}

void TabBarController::tabClicked(int index)
{
    if (index == selected_) {
        if (auto *nav = qobject_cast<NavigationController *>(selectedViewController()))
            nav->popToRootViewController();
        return;
    }
    setSelectedIndex(index);
}

void TabBarController::updateTabBarVisibility()
{
    ViewController *selected = selectedViewController();
    bar_->setVisible(!(selected && selected->wantsBottomBarHidden()));
}
