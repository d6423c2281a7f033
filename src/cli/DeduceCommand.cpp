#include <atomic>
#include <cstdio>
#include <memory>

#include "catalogue/SiteRegistry.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/CliSupport.h"
#include "deduction/Deducer.h"
#include "deduction/DeducerDelegate.h"
#include "deduction/DeducerParams.h"
#include "deduction/ProgressSink.h"

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

// Heard on the deduction's thread, once; read after it has finished.
class Outcome : public DeducerDelegate
{
public:
    void deducerFinished(Deducer &) override { succeeded = true; }
    void deducerFailed(Deducer &) override {}
    std::atomic<bool> succeeded{false};
};

int deduce(const QStringList &arguments)
{
    QStringList args = arguments;
    QString error;
    CliSession session(args, CliSession::SiteAddresses);
    if (const auto &siteError = session.optionError())
        return CliSupport::fail(*siteError, 2);
    const auto timeOutText = CliSupport::takeValue(args, QStringLiteral("--timeout"), &error);
    const double timeOut = timeOutText ? timeOutText->toDouble() : 0.0;
    if (!error.isEmpty())
        return CliSupport::fail(error, 2);
    if (args.size() != 1 || !CliSupport::unknownOptions(args).isEmpty() || (timeOutText && timeOut <= 0))
        return CliSupport::fail(
            QStringLiteral("usage: yomora-cli deduce URL [--timeout SECONDS] [--site name=URL]..."), 2);

    Outcome delegate;
    auto deducer = SiteRegistry::deducerWithSelectPages(std::nullopt, std::nullopt, QString(), args.first(),
                                                        QStringLiteral("web page title"),
                                                        std::make_shared<StderrProgress>(), &delegate);
    if (!deducer)
        return CliSupport::fail(QStringLiteral("Cannot deduce website?"));
    deducer->setCheckHeaderLimit(qint32(DeducerParams::sharedDeducerParams().deducerNumberOfCheckHeaders));
    if (timeOut > 0)
        deducer->setTimeOuts({timeOut, timeOut});

    // The progress values it handed over come through before the result.
    session.run(deducer);

    if (!delegate.succeeded) {
        const OptionalError &failure = deducer->error();
        // A failure without an error leaves the download incomplete, not failed.
        return CliSupport::fail(failure ? failure->localizedDescription()
                                        : QStringLiteral("Deduction failed"));
    }
    for (const QString &url : deducer->urlStrings())
        CliSupport::printLine(url);
    return 0;
}

const CliCommand::Registrar
    registrar({QStringLiteral("deduce"),
               QStringLiteral("deduce URL [--timeout S] [--site name=URL]  page image "
                              "URLs of the chapter whose first reader page is URL"),
               deduce});

} // namespace
