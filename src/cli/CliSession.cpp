#include "cli/CliSession.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "cli/CliDownloadServices.h"
#include "cli/CliSupport.h"
#include "download/DeducerErrorString.h"
#include "download/DeducerFetcher.h"
#include "download/DownloadManager.h"
#include "download/DownloadsMoverQueueWrapper.h"
#include "download/DownloadsProgressSink.h"
#include "download/EngineStartUp.h"
#include "download/FetcherQueueWrapper.h"
#include "download/LibraryQueues.h"
#include "download/RemovePathsQueueWrapper.h"
#include "files/HomeTreeLock.h"
#include "foundation/Alerts.h"
#include "foundation/NotificationCenter.h"
#include "foundation/OperationQueue.h"
#include "foundation/WaitOverlay.h"
#include "store/AppData.h"
#include "store/BooksRequest.h"
#include "store/Chapter.h"
#include "store/LibraryLookup.h"

class CliSession::TerminalAlerts : public Alerts
{
public:
    explicit TerminalAlerts(bool yes) : yes_(yes) {}
    void show(AlertRequest request) override
    {
        QString text = request.title;
        if (!request.message.isEmpty())
            text += (text.isEmpty() ? QString() : QStringLiteral(": ")) + request.message;
        std::fprintf(stderr, "%s\n", qPrintable(text));
        const bool confirmation = !request.otherButtons.isEmpty();
        if (!confirmation)
            sawAlert = true;
        else if (!yes_)
            std::fputs("(not confirmed: add --yes to answer Ok)\n", stderr);
        if (request.onButton)
            request.onButton(confirmation && yes_ ? 1 : 0);
    }
    bool sawAlert = false;

private:
    bool yes_;
};

namespace {

class TerminalWaitOverlay : public WaitOverlay
{
public:
    void setLabelText(const QString &text) override
    {
        if (text != last_)
            std::fprintf(stderr, "%s\n", qPrintable(text));
        last_ = text;
    }

private:
    QString last_;
};

int report(const std::shared_ptr<Download> &download)
{
    // Saved into the library: the record has left the store.
    if (download->isDeleted() || !download->managedObjectContext())
        return 0;
    if (download->isComplete())
        return 0;
    if (download->isQueued())
        return CliSupport::fail(QStringLiteral("nothing is running; the download stays queued"));
    return CliSupport::fail(CliSession::stateText(*download));
}

} // namespace

CliSession::CliSession(QStringList &args, unsigned uses)
    : uses_(uses), services_(std::make_shared<CliDownloadServices>()),
      queue_(std::make_unique<OperationQueue>())
{
    if (uses_ & HomeTree) {
        QString error;
        root_ = CliSupport::takeValue(args, QStringLiteral("--root"), &error).value_or(QString());
        if (!error.isEmpty())
            optionError_ = error;
    }
    if ((uses_ & SiteAddresses) && !optionError_)
        optionError_ = CliSupport::takeSiteOptions(args, &siteName_);
    if (uses_ & Confirmations)
        alerts_ = std::make_shared<TerminalAlerts>(CliSupport::takeFlag(args, QStringLiteral("--yes")));
}

QStringList CliSession::takeLeadingOptions(QStringList &args)
{
    static const QString names[] = {QStringLiteral("--root"), QStringLiteral("--site")};
    QStringList taken;
    while (!args.isEmpty()) {
        const QString &arg = args.first();
        const auto named = [&arg](const QString &name) {
            return arg == name || (arg.startsWith(name) && arg.mid(name.size()).startsWith(u'='));
        };
        const auto name = std::find_if(std::begin(names), std::end(names), named);
        if (name == std::end(names))
            break;
        // "--name VALUE" takes the next word along, "--name=VALUE" is one.
        const bool separateValue = arg == *name;
        taken << args.takeFirst();
        if (separateValue && !args.isEmpty())
            taken << args.takeFirst();
    }
    return taken;
}

CliSession::~CliSession()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    // Background removals and saves finish before the store goes.
    if (homeTreeLock_)
        wait({}, libraryIsBusy);
}

std::optional<int> CliSession::open()
{
    if (optionError_)
        return CliSupport::fail(*optionError_, 2);
    if (alerts_) {
        Alerts::install(alerts_);
        WaitOverlay::install(std::make_shared<TerminalWaitOverlay>());
    }
    DownloadManager &manager = DownloadManager::sharedDownloadManager();
    if (uses_ & Downloads)
        manager.setServices(services_);
    // Nothing here can offer to resume a download; the offer waits for the
    // application.
    auto started = EngineStartUp::start(manager, root_, EngineStartUp::ResumeOffer::Keep);
    if (!started.lock) {
        if (started.error)
            CliSupport::fail(started.error->message);
        return 1;
    }
    homeTreeLock_ = std::move(started.lock);

    if (uses_ & Downloads) {
        // The downloads screen's "%d/%d", which the fetcher leaves to its viewers.
        FetcherQueueWrapper &fetcher = manager.fetcherQueueWrapper();
        NotificationCenter::defaultCenter().addObserver(
            this, FetcherQueueWrapper::requestDidFinishOrFailNotification(), [this, &fetcher] {
                if (auto sink = services_->progressSink())
                    sink->setProgressLabel(QStringLiteral("%1/%2")
                                               .arg(fetcher.requestsDownloaded())
                                               .arg(fetcher.requestsToDownload()));
            });
    }
    return std::nullopt;
}

bool CliSession::wait(const std::function<bool()> &ended, const std::function<bool()> &moving)
{
    const auto hasEnded = [&] { return ended && ended(); };
    const auto stopped = [&] { return moving && !moving(); };
    for (;;) {
        if (!hasEnded() && !stopped()) {
            // Reports come through queued calls; the check also runs on a
            // short timer, because work that simply stops (a queue drained
            // on its worker thread) hands nothing to this thread.
            QEventLoop loop;
            QTimer check;
            QObject::connect(&check, &QTimer::timeout, &loop, [&] {
                if (hasEnded() || stopped())
                    loop.quit();
            });
            check.start(5);
            loop.exec();
        }
        if (hasEnded())
            return true;
        // What the work handed over before it stopped may be its report, or
        // may set it moving again (the next batch of a bulk save).
        QCoreApplication::sendPostedEvents();
        if (hasEnded())
            return true;
        if (stopped())
            return false;
    }
}

void CliSession::run(const std::shared_ptr<Operation> &operation)
{
    queue_->addOperation(operation);
    wait({}, [&operation] { return !operation->isFinished(); });
}

bool CliSession::libraryIsBusy()
{
    return LibraryQueues::removePathsQueueWrapper()->queue().operationCount() > 0 ||
           LibraryQueues::downloadsMoverQueueWrapper()->queue().operationCount() > 0;
}

int CliSession::runDownload(const std::shared_ptr<Download> &download)
{
    DownloadManager &manager = DownloadManager::sharedDownloadManager();
    DeducerFetcher &deducerFetcher = manager.deducerFetcher();
    // Nothing else starts a queue rebuilt from an earlier run.
    if (download->isQueued() && !deducerFetcher.isDeducing() &&
        !manager.fetcherQueueWrapper().isDownloading())
        deducerFetcher.downloadNextInWaitQueue();

    // A download that waits behind nothing would otherwise be waited for ever.
    wait([&] { return !download->isQueued() && !download->isDownloading(); }, engineIsBusy);
    services_->finishProgressLine();
    // The end of this program leaves what the queue began after ours as a
    // quit of the application leaves it: the next start offers it again.
    deducerFetcher.interruptRunningDownload();
    return report(download);
}

bool CliSession::engineIsBusy()
{
    // Each of these is set and cleared on the main thread, and a run stays
    // active until its end has been handled there, so no hand-over between
    // deduction, fetching and the next download looks idle.
    DownloadManager &manager = DownloadManager::sharedDownloadManager();
    const FetcherQueueWrapper &fetcher = manager.fetcherQueueWrapper();
    return manager.deducerFetcher().isDeducing() || fetcher.isRunActive() || fetcher.isDownloading();
}

int CliSession::missingPages(const Download &download)
{
    const auto pages = download.pages();
    if (pages.empty())
        return download.expectedNumberOfPages();
    int missing = 0;
    for (const auto &page : pages)
        missing += AppData::didDownloadImage(*page) ? 0 : 1;
    return missing;
}

QString CliSession::stateText(const Download &download)
{
    if (download.isDownloading())
        return QStringLiteral("Active");
    if (download.isQueued())
        return QStringLiteral("Queued");
    if (!GetDeducerErrorString(download).isNull())
        return QStringLiteral("Deduction failed: ") + GetDeducerErrorString(download);
    if (download.isComplete())
        return QStringLiteral("Complete");
    const int missing = missingPages(download);
    return missing > 0 ? QStringLiteral("Incomplete (%1 pages missing)").arg(missing)
                       : QStringLiteral("Incomplete");
}

bool CliSession::sawAlert() const
{
    return alerts_ && alerts_->sawAlert;
}

std::shared_ptr<Book> CliSession::findBook(const QString &title, const std::optional<QString> &source) const
{
    const auto found =
        LibraryLookup::booksWithTitle(*AppData::sharedAppData().managedObjectContext(), title, source);
    QStringList sources;
    for (const auto &book : found) {
        if (!sources.contains(book->rootTitle()))
            sources << book->rootTitle();
    }
    // Two sources often carry the same title; taking either would work on
    // the wrong one half the time.
    if (sources.size() > 1) {
        CliSupport::fail(
            QStringLiteral("\"%1\" is in the library from %2 sources: %3 (choose one with --source)")
                .arg(title)
                .arg(sources.size())
                .arg(sources.join(QStringLiteral(", "))));
        return nullptr;
    }
    if (!found.empty())
        return found.front();
    if (source)
        CliSupport::fail(QStringLiteral("No book titled \"%1\" from %2 in the library").arg(title, *source));
    else
        CliSupport::fail(QStringLiteral("No book titled \"%1\" in the library").arg(title));
    return nullptr;
}

std::shared_ptr<Chapter> CliSession::findChapter(const Book &book, const Decimal &number)
{
    auto chapter = LibraryLookup::chapterWithNumber(book, number);
    if (!chapter)
        CliSupport::fail(QStringLiteral("No chapter %1 in \"%2\"").arg(number.toString(), book.title()));
    return chapter;
}

int CliSession::finishDeletion(const DeletionOutcome &outcome, bool started, const QString &doneLine)
{
    if (started && !wait([&] { return outcome.done || outcome.failure; }, libraryIsBusy))
        return CliSupport::fail(QStringLiteral("the deletion stopped without saying how it ended"));
    if (outcome.failure)
        return CliSupport::fail(QStringLiteral("Nothing was deleted: ") +
                                outcome.failure->localizedDescription());
    if (sawAlert())
        return 1;
    if (outcome.done)
        CliSupport::printLine(doneLine);
    return 0;
}
