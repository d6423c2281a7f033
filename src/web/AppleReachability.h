#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include <QString>

class QTimer;

enum NetworkStatus {
    NotReachable = 0,
    ReachableViaWiFi = 1,
    ReachableViaWWAN = 2,
};

// One network interface as the reachability monitors see it.
struct NetworkInterfaceState {
    QString name;
    bool up = false;
    bool running = false;
    bool loopback = false;
    bool hasAddress = false; // an IPv4 address or a global IPv6 address
    bool wireless = false;   // a Wi-Fi link
    bool cellular = false;   // a mobile broadband (WWAN) modem

    bool operator==(const NetworkInterfaceState &) const = default;
};

// Watches whether the network is reachable, judged from the machine's
// interfaces: a link counts when it is up, running, not loopback and holds an
// address. Wireless links count as Wi-Fi, mobile broadband modems as WWAN,
// anything else (a cable) as Wi-Fi too, the way a handheld treats any local
// network.
//
// Thread contract: create, query and start/stop the notifier on the main
// thread. The notifier polls the interfaces on a timer of the thread that
// started it and posts "kNetworkReachabilityChangedNotification" through the
// default NotificationCenter whenever the status or connectionRequired
// changes.
class AppleReachability
{
public:
    ~AppleReachability(); // stops the notifier
    AppleReachability(const AppleReachability &) = delete;
    AppleReachability &operator=(const AppleReachability &) = delete;

    static std::shared_ptr<AppleReachability> reachabilityWithHostName(const QString &hostName);
    // A dotted IPv4 address.
    static std::shared_ptr<AppleReachability> reachabilityWithAddress(const QString &address);
    // Watches 0.0.0.0: is there any route out at all?
    static std::shared_ptr<AppleReachability> reachabilityForInternetConnection();
    // Watches the link-local network 169.254.0.0: is there a Wi-Fi link?
    static std::shared_ptr<AppleReachability> reachabilityForLocalWiFi();

    bool startNotifier();
    void stopNotifier();
    NetworkStatus currentReachabilityStatus() const;
    bool connectionRequired() const;
    bool isLocalWiFi() const { return localWiFiRef_; }
    QString target() const { return target_; }

    static QString changedNotificationName();

    // The machine's interfaces, or the injected ones while an override is set.
    static std::vector<NetworkInterfaceState> networkInterfaces();
    // Tests inject interface states here; std::nullopt reads the machine again.
    static void setInterfaceOverride(std::optional<std::vector<NetworkInterfaceState>> interfaces);
    // How often running notifiers look at the interfaces (2 s by default).
    static void setNotifierInterval(std::chrono::milliseconds interval);

private:
    AppleReachability(QString target, bool localWiFi);
    unsigned flags() const;
    void poll();

    QString target_; // what is watched: an address or a host name
    bool localWiFiRef_ = false;
    std::unique_ptr<QTimer> timer_;
    NetworkStatus lastStatus_ = NotReachable;
    bool lastConnectionRequired_ = false;
};
