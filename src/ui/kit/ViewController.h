#pragma once

#include <memory>

#include <QPointer>
#include <QWidget>

class NavigationController;
class NavigationItem;
class QAction;
class TabBarController;
class TabBarItem;

// One screen. Its contents are built once, in viewDidLoad(), the first time
// the screen is about to be shown (or when loadViewIfNeeded() asks), and it
// is told whenever it comes on screen or leaves it. Containers (navigation
// stacks, the tab bar, modal presentation) drive the appearance calls in the
// order the handheld platform uses, so screens can fetch their lists afresh
// in viewWillAppear() and stop observing in viewWillDisappear().
// A screen with no container is a root: showing or hiding its window (not
// minimising it) makes it appear or disappear.
// Thread contract: main thread only.
class ViewController : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ViewController)

public:
    explicit ViewController(QWidget *parent = nullptr);
    ~ViewController() override;

    QString title() const { return title_; }
    // Also names the screen's tab and its navigation bar title.
    void setTitle(const QString &title);

    NavigationItem *navigationItem();
    TabBarItem *tabBarItem();

    // The containers this screen sits in, nearest first; null when none.
    ViewController *parentViewController() const { return parent_; }
    NavigationController *navigationController() const;
    TabBarController *tabBarController() const;

    bool hidesBottomBarWhenPushed() const { return hidesBottomBarWhenPushed_; }
    void setHidesBottomBarWhenPushed(bool hides) { hidesBottomBarWhenPushed_ = hides; }

    bool isEditing() const { return editing_; }
    virtual void setEditing(bool editing);
    // The standard "Edit"/"Done" button that toggles editing.
    QAction *editButtonItem();

    bool isViewLoaded() const { return loaded_; }
    void loadViewIfNeeded();
    // True between viewDidAppear() and viewWillDisappear().
    bool isOnScreen() const { return appearance_ == Appearance::Appeared; }

    // Covers the whole window with vc (a navigation stack for instance)
    // until it is dismissed; the screens underneath disappear meanwhile.
    void presentModalViewController(std::unique_ptr<ViewController> vc);
    // Dismisses what this screen presented, or this screen when it is the
    // one presented.
    void dismissModalViewController();
    ViewController *modalViewController() const { return presented_; }
    ViewController *presentingViewController() const { return presenting_; }

    // The screen the user sees in this one's place: the top of the
    // containers' visible children, or what is presented over them.
    ViewController *topMostViewController();

    // Whether the window may turn to `orientation` (Device::Orientation)
    // while this screen is on top; asked by Rotate and by a resize.
    virtual bool shouldAutorotateToInterfaceOrientation(int orientation) const { return true; }
    // The application is about to save (leaving the foreground, quitting):
    // the screen on top writes what it otherwise writes only as it leaves.
    virtual void applicationWillSave() {}

    // Containers call these around a change of what is on screen; a begin
    // without a change of state (appearing twice) is ignored.
    void beginAppearanceTransition(bool appearing);
    void endAppearanceTransition();

Q_SIGNALS:
    void titleChanged(const QString &title);
    void editingChanged(bool editing);

protected:
    virtual void viewDidLoad() {}
    virtual void viewWillAppear() {}
    virtual void viewDidAppear() {}
    virtual void viewWillDisappear() {}
    virtual void viewDidDisappear() {}

    // The child screen that is on screen whenever this container is.
    virtual ViewController *visibleChildViewController() const { return nullptr; }
    // Whether the tab bar should be hidden while this screen is shown.
    virtual bool wantsBottomBarHidden() const { return false; }

    // Containers adopt their children through this.
    static void setParentViewController(ViewController *child, ViewController *parent);

    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class TabBarController;
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };

    // isNull(), not a conversion: while a parent is being destroyed the
    // pointer is still set but no longer points at a ViewController.
    bool isRoot() const { return parent_.isNull() && presenting_.isNull(); }
    ViewController *rootViewController();

    QString title_;
    NavigationItem *navigationItem_ = nullptr; // QObject child
    TabBarItem *tabBarItem_ = nullptr;         // QObject child
    QAction *editAction_ = nullptr;            // QObject child
    QPointer<ViewController> parent_;
    QPointer<ViewController> presenting_;
    QPointer<ViewController> presented_;
    // The child told about the transition in progress, so the end reaches
    // the same screen as the begin even if the visible child changed.
    QPointer<ViewController> transitioningChild_;
    Appearance appearance_ = Appearance::Disappeared;
    bool loaded_ = false;
    bool editing_ = false;
    bool hidesBottomBarWhenPushed_ = false;
};
