#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include <QString>

#include "demo/DemoCatalogue.h"
#include "demo/DemoLayout.h"
#include "loopback/LoopbackServer.h"

// The demo site: one loopback server answering for every layout's hosts
// (www.mangafox.localhost, img.mangafox.localhost, ...) on one port, with
// the control addresses under /__demo/ on any host:
//   /__demo/           what is served, with the special chapters
//   /__demo/specials   the same as plain text, one "site kind URL" a line
//   /__demo/repair     the missing page is served from now on
//   /__demo/break      ... and is missing again
// Thread contract: build on one thread; requests are answered on the
// server's threads; repair state and the image cache are locked.
class DemoSite
{
public:
    struct Options {
        int port = 0; // 0: any free port
        std::uint64_t seed = 1;
        std::chrono::milliseconds delay{1500}; // before each image of the slow chapter
    };

    explicit DemoSite(Options options);
    ~DemoSite();
    DemoSite(const DemoSite &) = delete;
    DemoSite &operator=(const DemoSite &) = delete;

    // -1 when the port could not be bound.
    int port() const;
    const DemoCatalogue &catalogue() const { return catalogue_; }
    const std::vector<std::unique_ptr<DemoLayout>> &layouts() const { return layouts_; }
    const DemoLayout *layout(const QString &name) const;

    // "mangafox http://www.mangafox.localhost:PORT/" lines and the control address.
    QString addresses() const;
    QString specials() const;
    QString controlURL() const;

    void setRepaired(bool repaired);

private:
    LoopbackResponse answer(const LoopbackRequest &request);
    LoopbackResponse control(const QString &path);
    LoopbackResponse image(const DemoImageRef &ref, const QString &key, const QByteArray &method);
    QString indexPage() const;
    static LoopbackResponse notFound();

    Options options_;
    DemoCatalogue catalogue_;
    std::unique_ptr<LoopbackServer> server_;
    std::vector<std::unique_ptr<DemoLayout>> layouts_;
    std::vector<DemoRoutes> routes_; // parallel to layouts_
    std::atomic<bool> repaired_{false};

    // Recent images, so that a probe and the download that follows it
    // render a page once.
    std::mutex cacheMutex_;
    std::map<QString, std::pair<QByteArray, QByteArray>> cache_; // key -> bytes, content type
    std::deque<QString> cacheOrder_;
};
