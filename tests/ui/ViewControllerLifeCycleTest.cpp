#include <functional>
#include <memory>

#include <gmock/gmock.h>

#include <QAction>
#include <QCoreApplication>
#include <QPointer>
#include <QStringList>
#include <QToolButton>

#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/NavigationItem.h"
#include "ui/kit/TabBar.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TabBarItem.h"

namespace {

// Writes "name:event" for every life-cycle call into a shared log.
class Screen : public ViewController
{
public:
    Screen(const QString &name, QStringList *log) : name_(name), log_(log) { setTitle(name); }

protected:
    void viewDidLoad() override { *log_ << name_ + QStringLiteral(":load"); }
    void viewWillAppear() override { *log_ << name_ + QStringLiteral(":willAppear"); }
    void viewDidAppear() override { *log_ << name_ + QStringLiteral(":didAppear"); }
    void viewWillDisappear() override { *log_ << name_ + QStringLiteral(":willDisappear"); }
    void viewDidDisappear() override { *log_ << name_ + QStringLiteral(":didDisappear"); }

private:
    QString name_;
    QStringList *log_;
};

std::string joined(const QStringList &log)
{
    return log.join(u' ').toStdString();
}

// Two tabs, each a stack with a root screen, in a shown window.
struct Fixture {
    QStringList log;
    std::unique_ptr<TabBarController> tabs = std::make_unique<TabBarController>();
    NavigationController *first = nullptr;
    NavigationController *second = nullptr;

    Fixture()
    {
        auto nav =
            std::make_unique<NavigationController>(std::make_unique<Screen>(QStringLiteral("A"), &log));
        first = nav.get();
        tabs->addViewController(std::move(nav));
        nav = std::make_unique<NavigationController>(std::make_unique<Screen>(QStringLiteral("T"), &log));
        second = nav.get();
        tabs->addViewController(std::move(nav));
        tabs->resize(320, 480);
        tabs->show();
    }
    std::unique_ptr<Screen> screen(const char *name)
    {
        return std::make_unique<Screen>(QString::fromLatin1(name), &log);
    }
};

TEST(ViewControllerLifeCycle, ShowingTheWindowLoadsAndShowsOnlyTheSelectedTab)
{
    Fixture f;
    EXPECT_EQ(joined(f.log), "A:load A:willAppear A:didAppear");
}

struct StackCase {
    const char *name;
    std::function<void(Fixture &)> prepare;
    std::function<void(Fixture &)> act;
    const char *expected;
};

class StackOrder : public testing::TestWithParam<StackCase>
{
};

TEST_P(StackOrder, FollowsTheHandheldOrder)
{
    Fixture f;
    GetParam().prepare(f);
    f.log.clear();
    GetParam().act(f);
    EXPECT_EQ(joined(f.log), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kit, StackOrder,
    testing::Values(StackCase{"Push", [](Fixture &) {},
                              [](Fixture &f) { f.first->pushViewController(f.screen("B")); },
                              "B:load A:willDisappear B:willAppear A:didDisappear B:didAppear"},
                    StackCase{"Pop", [](Fixture &f) { f.first->pushViewController(f.screen("B")); },
                              [](Fixture &f) { f.first->popViewController(); },
                              "B:willDisappear A:willAppear B:didDisappear A:didAppear"},
                    // The screen in the middle leaves unseen.
                    StackCase{"PopToRoot",
                              [](Fixture &f) {
                                  f.first->pushViewController(f.screen("B"));
                                  f.first->pushViewController(f.screen("C"));
                              },
                              [](Fixture &f) { f.first->popToRootViewController(); },
                              "C:willDisappear A:willAppear C:didDisappear A:didAppear"},
                    StackCase{"TabSwitchLoadsOnFirstVisit", [](Fixture &) {},
                              [](Fixture &f) { f.tabs->setSelectedIndex(1); },
                              "A:willDisappear T:load T:willAppear A:didDisappear T:didAppear"},
                    // The top of the stack is what comes and goes, and loading happens once.
                    StackCase{"TabSwitchBack",
                              [](Fixture &f) {
                                  f.first->pushViewController(f.screen("B"));
                                  f.tabs->setSelectedIndex(1);
                              },
                              [](Fixture &f) { f.tabs->setSelectedIndex(0); },
                              "T:willDisappear B:willAppear T:didDisappear B:didAppear"},
                    // A stack that is not on screen changes without telling anyone
                    // but the new screen's load.
                    StackCase{"PushOnHiddenTab", [](Fixture &) {},
                              [](Fixture &f) { f.second->pushViewController(f.screen("U")); }, "U:load"},
                    StackCase{"SelectingMissingTabIsIgnored", [](Fixture &) {},
                              [](Fixture &f) { f.tabs->setSelectedIndex(7); }, ""},
                    StackCase{"PresentAndDismissModal", [](Fixture &) {},
                              [](Fixture &f) {
                                  f.first->topViewController()->presentModalViewController(f.screen("M"));
                                  f.log << QStringLiteral("|");
                                  f.first->topViewController()->dismissModalViewController();
                              },
                              "M:load A:willDisappear M:willAppear A:didDisappear M:didAppear | "
                              "M:willDisappear A:willAppear M:didDisappear A:didAppear"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ViewControllerLifeCycle, PoppedScreenIsDeletedOnceTheEventLoopRuns)
{
    Fixture f;
    f.first->pushViewController(f.screen("B"));
    QPointer<ViewController> popped = f.first->popViewController();
    ASSERT_TRUE(popped);
    EXPECT_EQ(popped->navigationController(), nullptr);
    EXPECT_EQ(f.first->popViewController(), nullptr); // the root stays
    // Outside a running event loop deferred deletes need an explicit push.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(popped.isNull());
}

TEST(NavigationController, BackButtonShowsPreviousTitleOrItsBackTitleAndPops)
{
    Fixture f;
    NavigationBar *bar = f.first->navigationBar();
    EXPECT_EQ(bar->backButtonTitle(), QString());
    EXPECT_EQ(bar->titleText(), QStringLiteral("A"));

    f.first->pushViewController(f.screen("B"));
    EXPECT_EQ(bar->backButtonTitle(), QStringLiteral("A"));
    EXPECT_EQ(bar->titleText(), QStringLiteral("B"));

    f.first->topViewController()->navigationItem()->setBackTitle(QStringLiteral("Back to B"));
    f.first->pushViewController(f.screen("C"));
    EXPECT_EQ(bar->backButtonTitle(), QStringLiteral("Back to B"));

    bar->backButton()->click();
    EXPECT_EQ(f.first->viewControllers().size(), 2u);
    EXPECT_EQ(bar->titleText(), QStringLiteral("B"));
}

TEST(NavigationController, LeftButtonReplacesBackButtonAndRightButtonShows)
{
    Fixture f;
    auto next = f.screen("B");
    QAction *edit = next->editButtonItem();
    next->navigationItem()->setRightBarButtonItem(edit);
    auto *close = new QAction(QStringLiteral("Close"), next.get());
    next->navigationItem()->setLeftBarButtonItem(close);
    ViewController *raw = next.get();
    f.first->pushViewController(std::move(next));

    NavigationBar *bar = f.first->navigationBar();
    EXPECT_TRUE(bar->backButton()->isHidden());
    EXPECT_EQ(bar->leftButton()->text(), QStringLiteral("Close"));
    EXPECT_EQ(bar->rightButton()->text(), QStringLiteral("Edit"));
    bar->rightButton()->click();
    EXPECT_TRUE(raw->isEditing());
    EXPECT_EQ(bar->rightButton()->text(), QStringLiteral("Done"));
}

TEST(NavigationController, ScreenThatHidesTheTabBarHidesItUntilPopped)
{
    Fixture f;
    auto reader = f.screen("Reader");
    reader->setHidesBottomBarWhenPushed(true);
    f.first->pushViewController(std::move(reader));
    EXPECT_TRUE(f.tabs->tabBar()->isHidden());
    f.first->pushViewController(f.screen("Above"));
    EXPECT_TRUE(f.tabs->tabBar()->isHidden());

    f.tabs->setSelectedIndex(1);
    EXPECT_FALSE(f.tabs->tabBar()->isHidden());
    f.tabs->setSelectedIndex(0);
    f.first->popToRootViewController();
    EXPECT_FALSE(f.tabs->tabBar()->isHidden());
}

TEST(TabBarController, BadgeShowsTextAndNoneWhenEmpty)
{
    Fixture f;
    TabBarItem *item = f.tabs->viewController(1)->tabBarItem();
    EXPECT_EQ(f.tabs->tabBar()->item(1), item);
    EXPECT_EQ(item->title(), QStringLiteral("T")); // a stack is named after its root
    EXPECT_EQ(item->badgeValue(), QString());
    item->setBadgeValue(QStringLiteral("3"));
    EXPECT_EQ(f.tabs->tabBar()->item(1)->badgeValue(), QStringLiteral("3"));
    EXPECT_EQ(f.tabs->tabBar()->item(0)->badgeValue(), QString());
}

} // namespace
