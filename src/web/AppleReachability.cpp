#include "web/AppleReachability.h"

#include <atomic>
#include <map>
#include <mutex>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <QFile>
#include <QTimer>

#include "foundation/NotificationCenter.h"

namespace {

// The reachability flags a handheld reports for a target; the status rules
// below are written against them so that they read the same as there.
enum Flag : unsigned {
    Reachable = 1u << 1,
    ConnectionRequired = 1u << 2,
    ConnectionOnTraffic = 1u << 3,
    InterventionRequired = 1u << 4,
    ConnectionOnDemand = 1u << 5,
    IsDirect = 1u << 17,
    IsWWAN = 1u << 18,
};

std::mutex gOverrideMutex;
std::optional<std::vector<NetworkInterfaceState>> gOverride;
std::atomic<int> gIntervalMs{2000};

bool counts(const NetworkInterfaceState &i)
{
    return i.up && i.running && !i.loopback && i.hasAddress;
}

bool isLoopbackTarget(const QString &target)
{
    return target == QLatin1String("localhost") || target.endsWith(QLatin1String(".localhost")) ||
           target.startsWith(QLatin1String("127.")) || target == QLatin1String("::1");
}

std::vector<NetworkInterfaceState> readMachineInterfaces()
{
    std::map<QString, NetworkInterfaceState> byName;
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return {};
    for (ifaddrs *a = list; a; a = a->ifa_next) {
        const QString name = QString::fromLocal8Bit(a->ifa_name);
        NetworkInterfaceState &state = byName[name];
        state.name = name;
        state.up = a->ifa_flags & IFF_UP;
        state.running = a->ifa_flags & IFF_RUNNING;
        state.loopback = a->ifa_flags & IFF_LOOPBACK;
        if (!a->ifa_addr)
            continue;
        if (a->ifa_addr->sa_family == AF_INET) {
            const auto *in = reinterpret_cast<const sockaddr_in *>(a->ifa_addr);
            if (in->sin_addr.s_addr != 0)
                state.hasAddress = true;
        } else if (a->ifa_addr->sa_family == AF_INET6) {
            const auto *in6 = reinterpret_cast<const sockaddr_in6 *>(a->ifa_addr);
            // A link-local address alone reaches no further than the link.
            if (!IN6_IS_ADDR_LINKLOCAL(&in6->sin6_addr) && !IN6_IS_ADDR_UNSPECIFIED(&in6->sin6_addr))
                state.hasAddress = true;
        }
    }
    freeifaddrs(list);

    std::vector<NetworkInterfaceState> interfaces;
    for (auto &[name, state] : byName) {
        const QString sys = QStringLiteral("/sys/class/net/") + name;
        state.wireless = QFile::exists(sys + QStringLiteral("/wireless")) ||
                         QFile::exists(sys + QStringLiteral("/phy80211"));
        QFile uevent(sys + QStringLiteral("/uevent"));
        if (uevent.open(QIODevice::ReadOnly))
            state.cellular = uevent.readAll().contains("DEVTYPE=wwan");
        interfaces.push_back(state);
    }
    return interfaces;
}

} // namespace

AppleReachability::AppleReachability(QString target, bool localWiFi)
    : target_(std::move(target)), localWiFiRef_(localWiFi)
{}

AppleReachability::~AppleReachability()
{
    stopNotifier();
}

std::shared_ptr<AppleReachability> AppleReachability::reachabilityWithHostName(const QString &hostName)
{
    return std::shared_ptr<AppleReachability>(new AppleReachability(hostName, false));
}

std::shared_ptr<AppleReachability> AppleReachability::reachabilityWithAddress(const QString &address)
{
    return std::shared_ptr<AppleReachability>(new AppleReachability(address, false));
}

std::shared_ptr<AppleReachability> AppleReachability::reachabilityForInternetConnection()
{
    return reachabilityWithAddress(QStringLiteral("0.0.0.0"));
}

std::shared_ptr<AppleReachability> AppleReachability::reachabilityForLocalWiFi()
{
    return std::shared_ptr<AppleReachability>(new AppleReachability(QStringLiteral("169.254.0.0"), true));
}

QString AppleReachability::changedNotificationName()
{
    return QStringLiteral("kNetworkReachabilityChangedNotification");
}

std::vector<NetworkInterfaceState> AppleReachability::networkInterfaces()
{
    {
        std::lock_guard lock(gOverrideMutex);
        if (gOverride)
            return *gOverride;
    }
    return readMachineInterfaces();
}

void AppleReachability::setInterfaceOverride(std::optional<std::vector<NetworkInterfaceState>> interfaces)
{
    std::lock_guard lock(gOverrideMutex);
    gOverride = std::move(interfaces);
}

void AppleReachability::setNotifierInterval(std::chrono::milliseconds interval)
{
    gIntervalMs.store(int(std::max<qint64>(1, interval.count())));
}

unsigned AppleReachability::flags() const
{
    const auto interfaces = networkInterfaces();
    if (localWiFiRef_) {
        for (const auto &i : interfaces) {
            if (counts(i) && i.wireless)
                return Reachable | IsDirect;
        }
        return 0;
    }
    if (isLoopbackTarget(target_)) {
        for (const auto &i : interfaces) {
            if (i.loopback && i.up)
                return Reachable | IsDirect;
        }
        return 0;
    }
    bool viaModem = false;
    bool idleModem = false;
    for (const auto &i : interfaces) {
        if (counts(i) && !i.cellular)
            return Reachable;
        viaModem |= counts(i) && i.cellular;
        idleModem |= i.cellular && !counts(i);
    }
    if (viaModem)
        return Reachable | IsWWAN;
    // A modem that is present but not connected dials when traffic asks for it.
    if (idleModem)
        return ConnectionRequired | ConnectionOnTraffic;
    return 0;
}

NetworkStatus AppleReachability::currentReachabilityStatus() const
{
    const unsigned f = flags();
    if (localWiFiRef_)
        return (f & Reachable) && (f & IsDirect) ? ReachableViaWiFi : NotReachable;

    if (!(f & Reachable))
        return NotReachable;
    NetworkStatus status = NotReachable;
    if (!(f & ConnectionRequired))
        status = ReachableViaWiFi;
    if (((f & ConnectionOnDemand) || (f & ConnectionOnTraffic)) && !(f & InterventionRequired))
        status = ReachableViaWiFi;
    if (f & IsWWAN)
        status = ReachableViaWWAN;
    return status;
}

bool AppleReachability::connectionRequired() const
{
    return flags() & ConnectionRequired;
}

bool AppleReachability::startNotifier()
{
    if (timer_)
        return true;
    lastStatus_ = currentReachabilityStatus();
    lastConnectionRequired_ = connectionRequired();
    timer_ = std::make_unique<QTimer>();
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { poll(); });
    timer_->start(gIntervalMs.load());
    return true;
}

void AppleReachability::stopNotifier()
{
    // An observer of the change notification may stop or free the monitor
    // while the timer is still delivering its timeout.
    if (timer_) {
        timer_->stop();
        timer_.release()->deleteLater();
    }
}

void AppleReachability::poll()
{
    if (timer_ && timer_->interval() != gIntervalMs.load())
        timer_->setInterval(gIntervalMs.load());
    const NetworkStatus status = currentReachabilityStatus();
    const bool required = connectionRequired();
    if (status == lastStatus_ && required == lastConnectionRequired_)
        return;
    lastStatus_ = status;
    lastConnectionRequired_ = required;
    NotificationCenter::defaultCenter().post(changedNotificationName());
}
