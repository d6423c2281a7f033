#include "ui/kit/ViewController.h"

#include <QAction>
#include <QEvent>
#include <QShowEvent>

#include "foundation/Localized.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/NavigationItem.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TabBarItem.h"

ViewController::ViewController(QWidget *parent) : QWidget(parent) {}

ViewController::~ViewController()
{
    if (presented_)
        presented_->deleteLater();
}

void ViewController::setTitle(const QString &title)
{
    if (title_ == title)
        return;
    title_ = title;
    navigationItem()->setTitle(title);
    tabBarItem()->setTitle(title);
    Q_EMIT titleChanged(title);
}

NavigationItem *ViewController::navigationItem()
{
    if (!navigationItem_) {
        navigationItem_ = new NavigationItem(this);
        navigationItem_->setTitle(title_);
    }
    return navigationItem_;
}

TabBarItem *ViewController::tabBarItem()
{
    if (!tabBarItem_) {
        tabBarItem_ = new TabBarItem(this);
        tabBarItem_->setTitle(title_);
    }
    return tabBarItem_;
}

NavigationController *ViewController::navigationController() const
{
    for (ViewController *vc = parent_; vc; vc = vc->parent_) {
        if (auto *nav = qobject_cast<NavigationController *>(vc))
            return nav;
    }
    return nullptr;
}

TabBarController *ViewController::tabBarController() const
{
    for (ViewController *vc = parent_; vc; vc = vc->parent_) {
        if (auto *tabs = qobject_cast<TabBarController *>(vc))
            return tabs;
    }
    return nullptr;
}

void ViewController::setEditing(bool editing)
{
    if (editing_ == editing)
        return;
    editing_ = editing;
    if (editAction_)
        editAction_->setText(editing ? localized("Done") : localized("Edit"));
    Q_EMIT editingChanged(editing);
}

QAction *ViewController::editButtonItem()
{
    if (!editAction_) {
        editAction_ = new QAction(editing_ ? localized("Done") : localized("Edit"), this);
        connect(editAction_, &QAction::triggered, this, [this] { setEditing(!editing_); });
    }
    return editAction_;
}

void ViewController::loadViewIfNeeded()
{
    if (loaded_)
        return;
    loaded_ = true;
    viewDidLoad();
}

void ViewController::beginAppearanceTransition(bool appearing)
{
    if (appearing) {
        if (appearance_ == Appearance::Appeared || appearance_ == Appearance::Appearing)
            return;
        loadViewIfNeeded();
        appearance_ = Appearance::Appearing;
        viewWillAppear();
    } else {
        if (appearance_ == Appearance::Disappeared || appearance_ == Appearance::Disappearing)
            return;
        appearance_ = Appearance::Disappearing;
        viewWillDisappear();
    }
    transitioningChild_ = visibleChildViewController();
    if (transitioningChild_)
        transitioningChild_->beginAppearanceTransition(appearing);
}

void ViewController::endAppearanceTransition()
{
    if (appearance_ == Appearance::Appearing) {
        appearance_ = Appearance::Appeared;
        viewDidAppear();
    } else if (appearance_ == Appearance::Disappearing) {
        appearance_ = Appearance::Disappeared;
        viewDidDisappear();
    } else {
        return;
    }
    if (transitioningChild_)
        transitioningChild_->endAppearanceTransition();
    transitioningChild_ = nullptr;
}

void ViewController::setParentViewController(ViewController *child, ViewController *parent)
{
    child->parent_ = parent;
}

ViewController *ViewController::rootViewController()
{
    ViewController *vc = this;
    while (vc->parent_ || vc->presenting_)
        vc = vc->parent_ ? vc->parent_.data() : vc->presenting_.data();
    return vc;
}

ViewController *ViewController::topMostViewController()
{
    if (presented_)
        return presented_->topMostViewController();
    if (ViewController *child = visibleChildViewController())
        return child->topMostViewController();
    return this;
}

void ViewController::presentModalViewController(std::unique_ptr<ViewController> vc)
{
    // The screen that disappears is whatever covers the window now: the
    // root, or the last screen presented over it.
    ViewController *covering = rootViewController();
    while (covering->presented_)
        covering = covering->presented_;
    QWidget *host = covering->presenting_ ? covering->parentWidget() : covering->window();

    ViewController *presented = vc.release();
    presented->setParent(host); // owned by the window from here on
    presented->presenting_ = covering;
    covering->presented_ = presented;
    host->installEventFilter(presented);
    presented->setGeometry(host->rect());
    presented->loadViewIfNeeded();

    covering->beginAppearanceTransition(false);
    presented->beginAppearanceTransition(true);
    presented->show();
    presented->raise();
    covering->endAppearanceTransition();
    presented->endAppearanceTransition();
}

void ViewController::dismissModalViewController()
{
    if (!presented_) {
        // Asked of a screen inside the presenter or inside the presented
        // screen: the one that presented answers.
        if (presenting_) {
            presenting_->dismissModalViewController();
        } else if (ViewController *root = rootViewController(); root != this) {
            root->dismissModalViewController();
        }
        return;
    }
    ViewController *presented = presented_;
    if (presented->presented_)
        presented->dismissModalViewController();

    presented->beginAppearanceTransition(false);
    beginAppearanceTransition(true);
    presented->hide();
    presented->endAppearanceTransition();
    endAppearanceTransition();

    presented_ = nullptr;
    presented->presenting_ = nullptr;
    if (QWidget *host = presented->parentWidget())
        host->removeEventFilter(presented);
    // Later, because dismissal usually starts from a button of the screen.
    presented->deleteLater();
}

void ViewController::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Restoring a minimised window is not an appearance.
    if (isRoot() && !event->spontaneous()) {
        beginAppearanceTransition(true);
        endAppearanceTransition();
    }
}

void ViewController::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (isRoot() && !event->spontaneous()) {
        beginAppearanceTransition(false);
        endAppearanceTransition();
    }
}

bool ViewController::eventFilter(QObject *watched, QEvent *event)
{
    // A presented screen keeps covering its host as the window is resized.
    if (presenting_ && watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}
