#include <atomic>
#include <cstdio>
#include <memory>

#include <QCoreApplication>
#include <QEventLoop>

#include "cli/CliCommand.h"
#include "download/Deducer.h"
#include "download/DeducerDelegate.h"
#include "download/DeducerParams.h"
#include "download/ProgressSink.h"
#include "foundation/MainThread.h"
#include "foundation/OperationQueue.h"
#include "sites/SiteConfig.h"

namespace {

class StderrProgress : public ProgressSink
{
public:
    void setProgress(float progress) override
    {
        const int percent = int(progress * 100.0f + 0.5f);
        if (percent == lastPercent_)
            return;
        lastPercent_ = percent;
        std::fprintf(stderr, "progress %d%%\n", percent);
    }

private:
    int lastPercent_ = -1;
};

// Hands the deduction's one report back to the main thread's loop.
class QuitOnReport : public DeducerDelegate
{
public:
    explicit QuitOnReport(QEventLoop &loop) : loop_(loop) {}
    void deducerFinished(Deducer &) override
    {
        succeeded = true;
        report();
    }
    void deducerFailed(Deducer &) override { report(); }
    std::atomic<bool> succeeded{false};

private:
    void report()
    {
        performOnMain([this] { loop_.quit(); });
    }
    QEventLoop &loop_;
};

int deduce(const QStringList &arguments)
{
    QStringList args = arguments;
    if (const auto error = SiteConfig::takeSiteOptions(args)) {
        std::fprintf(stderr, "yomora-cli deduce: %s\n", qPrintable(*error));
        return 2;
    }
    double timeOut = 0;
    const qsizetype timeOutAt = args.indexOf(QStringLiteral("--timeout"));
    if (timeOutAt >= 0 && timeOutAt + 1 < args.size()) {
        timeOut = args[timeOutAt + 1].toDouble();
        args.remove(timeOutAt, 2);
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: yomora-cli deduce URL [--timeout SECONDS] [--site name=URL]...\n");
        return 2;
    }

    QEventLoop loop;
    QuitOnReport delegate(loop);
    auto deducer = Deducer::deducerWithSelectPages(std::nullopt, std::nullopt, QString(), args.first(),
                                                   QStringLiteral("web page title"),
                                                   std::make_shared<StderrProgress>(), &delegate);
    if (!deducer) {
        std::fprintf(stderr, "Cannot deduce website?\n");
        return 1;
    }
    deducer->setCheckHeaderLimit(qint32(DeducerParams::sharedDeducerParams().deducerNumberOfCheckHeaders));
    if (timeOut > 0)
        deducer->setTimeOuts({timeOut, timeOut});

    OperationQueue queue;
    queue.addOperation(deducer);
    loop.exec();
    queue.waitUntilAllOperationsAreFinished();
    // Lets the last progress values through before the result.
    QCoreApplication::processEvents();

    if (!delegate.succeeded) {
        const OptionalError &error = deducer->error();
        std::fprintf(stderr, "%s\n", error ? qPrintable(error->localizedDescription()) : "Deduction failed");
        return 1;
    }
    for (const QString &url : deducer->urlStrings())
        std::printf("%s\n", qPrintable(url));
    return 0;
}

const CliCommand::Registrar
    registrar({QStringLiteral("deduce"),
               QStringLiteral("deduce URL [--timeout S] [--site name=URL]  page image "
                              "URLs of the chapter whose first reader page is URL"),
               deduce});

} // namespace
