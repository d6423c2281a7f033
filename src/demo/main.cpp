// yomora-demo-site: serves a made-up manga catalogue on 127.0.0.1 in the
// layout of every site Yomora reads, so that the whole app can be tried
// offline. Runs until interrupted.

#include <csignal>
#include <cstdio>

#include <pthread.h>

#include <QCoreApplication>
#include <QStringList>

#include "demo/DemoSite.h"

namespace {

const char kUsage[] = "usage: yomora-demo-site [--port N] [--seed N] [--delay-ms N]\n"
                      "  --port N      port on 127.0.0.1 (default 8470; 0 picks a free one)\n"
                      "  --seed N      catalogue and page images follow from it (default 1)\n"
                      "  --delay-ms N  delay before each image of the slow chapter (default 1500)\n";

bool takeNumber(QStringList &args, const QString &name, qint64 *value, bool *bad)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString text;
        if (args[i] == name && i + 1 < args.size()) {
            text = args[i + 1];
            args.remove(i, 2);
        } else if (args[i].startsWith(name + u'=')) {
            text = args[i].mid(name.size() + 1);
            args.removeAt(i);
        } else {
            continue;
        }
        bool ok = false;
        *value = text.toLongLong(&ok);
        if (!ok || *value < 0)
            *bad = true;
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    // Block the stop signals before any server thread starts, so that only
    // sigwait below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    DemoSite::Options options;
    options.port = 8470;
    bool bad = false;
    qint64 value = 0;
    if (takeNumber(args, QStringLiteral("--port"), &value, &bad))
        options.port = int(value);
    if (takeNumber(args, QStringLiteral("--seed"), &value, &bad))
        options.seed = std::uint64_t(value);
    if (takeNumber(args, QStringLiteral("--delay-ms"), &value, &bad))
        options.delay = std::chrono::milliseconds(value);
    if (bad || !args.isEmpty() || options.port > 65535) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    DemoSite site(options);
    if (site.port() <= 0) {
        std::fprintf(stderr, "yomora-demo-site: cannot listen on 127.0.0.1:%d\n", options.port);
        return 1;
    }
    std::fputs(qPrintable(site.addresses()), stdout);
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    return 0;
}
