#include <gtest/gtest.h>

#include "foundation/NotificationCenter.h"
#include "support/EventLoop.h"
#include "web/AppleReachability.h"

namespace {

NetworkInterfaceState link(const char *name, bool up, bool running, bool hasAddress)
{
    NetworkInterfaceState i;
    i.name = QString::fromLatin1(name);
    i.up = up;
    i.running = running;
    i.hasAddress = hasAddress;
    return i;
}

NetworkInterfaceState loopback()
{
    NetworkInterfaceState i = link("lo", true, true, true);
    i.loopback = true;
    return i;
}

NetworkInterfaceState wifi(bool connected = true)
{
    NetworkInterfaceState i = link("wlan0", true, connected, connected);
    i.wireless = true;
    return i;
}

NetworkInterfaceState modem(bool connected = true)
{
    NetworkInterfaceState i = link("wwan0", connected, connected, connected);
    i.cellular = true;
    return i;
}

class AppleReachabilityTest : public testing::Test
{
protected:
    void TearDown() override
    {
        AppleReachability::setInterfaceOverride(std::nullopt);
        AppleReachability::setNotifierInterval(std::chrono::seconds(2));
        NotificationCenter::defaultCenter().removeObserver(this);
    }
};

} // namespace

TEST_F(AppleReachabilityTest, StatusFollowsTheInterfaces)
{
    struct Case {
        const char *what;
        std::vector<NetworkInterfaceState> interfaces;
        NetworkStatus internet;
        NetworkStatus localWiFi;
        bool connectionRequired;
    } cases[] = {
        {"nothing", {}, NotReachable, NotReachable, false},
        {"loopback only", {loopback()}, NotReachable, NotReachable, false},
        {"cable", {loopback(), link("eth0", true, true, true)}, ReachableViaWiFi, NotReachable, false},
        {"cable unplugged", {link("eth0", true, false, true)}, NotReachable, NotReachable, false},
        {"cable down", {link("eth0", false, true, true)}, NotReachable, NotReachable, false},
        {"cable without address", {link("eth0", true, true, false)}, NotReachable, NotReachable, false},
        {"wifi", {loopback(), wifi()}, ReachableViaWiFi, ReachableViaWiFi, false},
        {"wifi not associated", {wifi(false)}, NotReachable, NotReachable, false},
        {"modem", {modem()}, ReachableViaWWAN, NotReachable, false},
        {"modem and cable", {modem(), link("eth0", true, true, true)}, ReachableViaWiFi, NotReachable, false},
        {"idle modem", {loopback(), modem(false)}, NotReachable, NotReachable, true},
    };
    const auto internet = AppleReachability::reachabilityForInternetConnection();
    const auto localWiFi = AppleReachability::reachabilityForLocalWiFi();
    EXPECT_TRUE(localWiFi->isLocalWiFi());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        AppleReachability::setInterfaceOverride(c.interfaces);
        EXPECT_EQ(internet->currentReachabilityStatus(), c.internet);
        EXPECT_EQ(localWiFi->currentReachabilityStatus(), c.localWiFi);
        EXPECT_EQ(internet->connectionRequired(), c.connectionRequired);
    }
}

TEST_F(AppleReachabilityTest, TheNotifierPostsChangesOnlyWhileStarted)
{
    AppleReachability::setNotifierInterval(std::chrono::milliseconds(5));
    AppleReachability::setInterfaceOverride(std::vector{link("eth0", true, true, true)});
    int heard = 0;
    NotificationCenter::defaultCenter().addObserver(
        this, QStringLiteral("kNetworkReachabilityChangedNotification"), [&] { ++heard; });
    auto internet = AppleReachability::reachabilityForInternetConnection();
    ASSERT_TRUE(internet->startNotifier());

    pumpEventsUntil([] { return false; }, std::chrono::milliseconds(30));
    EXPECT_EQ(heard, 0); // no change, no notification

    AppleReachability::setInterfaceOverride(std::vector<NetworkInterfaceState>{});
    ASSERT_TRUE(pumpEventsUntil([&] { return heard == 1; }));
    AppleReachability::setInterfaceOverride(std::vector{modem()});
    ASSERT_TRUE(pumpEventsUntil([&] { return heard == 2; }));

    internet->stopNotifier();
    AppleReachability::setInterfaceOverride(std::vector<NetworkInterfaceState>{});
    pumpEventsUntil([] { return false; }, std::chrono::milliseconds(30));
    EXPECT_EQ(heard, 2);
}

TEST_F(AppleReachabilityTest, TheMachineHasALoopbackInterface)
{
    const auto interfaces = AppleReachability::networkInterfaces();
    EXPECT_TRUE(
        std::any_of(interfaces.begin(), interfaces.end(), [](const auto &i) { return i.loopback && i.up; }));
    EXPECT_EQ(AppleReachability::reachabilityWithHostName(QStringLiteral("www.mangafox.localhost"))
                  ->currentReachabilityStatus(),
              ReachableViaWiFi);
}
