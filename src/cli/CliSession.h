#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QString>
#include <QStringList>

#include "foundation/Error.h"

class Book;
class Chapter;
class CliDownloadServices;
class Decimal;
class Download;
class HomeTreeLock;
class Operation;
class OperationQueue;

// One yomora-cli command's run on the engine: the options the commands
// share, the home tree opened through the engine's start-up routine, what
// the engine shows (alerts, the wait overlay's texts, download progress)
// put on the terminal, and the one way a command waits for the engine.
//
// Every wait is the event loop, so that background work can hand its
// reports to the main thread, and every wait ends: on its result, on a
// failure the engine reported, or when nothing could move any more.
// Thread contract: main thread only.
class CliSession
{
public:
    // What a command works with; each brings its own options, which are
    // taken from the arguments when the session is made.
    enum Use : unsigned {
        // "--site NAME=URL" points a site elsewhere (applied at once); a
        // "--site NAME" without address is kept as siteName().
        SiteAddresses = 1u << 0,
        // "--root DIR" (else $YOMORA_ROOT or the default); open() starts the
        // engine on the home tree under it.
        HomeTree = 1u << 1,
        // With HomeTree: the download engine's services (progress on the
        // terminal, the automatic save switched for this process).
        Downloads = 1u << 2,
        // "--yes": confirmations answered "Ok", else "Cancel"; alerts
        // printed on standard error and counted; the wait overlay's texts
        // printed.
        Confirmations = 1u << 3,
    };

    CliSession(QStringList &args, unsigned uses);
    // Takes the options every command shares ("--root", "--site") from the
    // front of a command line, before the command's name, so that they can
    // be handed to the command as though they followed it.
    static QStringList takeLeadingOptions(QStringList &args);
    ~CliSession();
    CliSession(const CliSession &) = delete;
    CliSession &operator=(const CliSession &) = delete;

    // The first option given wrongly ("--root" without its value, a "--site"
    // that names no site); a usage error.
    const std::optional<QString> &optionError() const { return optionError_; }
    const QString &siteName() const { return siteName_; }

    // Starts the engine on the home tree as the application does. Nullopt
    // once it runs; otherwise the exit status to use (the reason has been
    // printed). The tree stays locked until the session ends.
    std::optional<int> open();

    // The one wait: runs the event loop until `ended` holds (a result or a
    // reported failure) or `moving` no longer does (nothing is left that
    // could report). What was handed to the main thread before the work
    // stopped moving is delivered first, so that a report racing the end
    // is still heard. Either function may be empty, not both. Returns
    // whether `ended` holds.
    bool wait(const std::function<bool()> &ended, const std::function<bool()> &moving);
    // Runs an operation on the session's queue until it has finished, and
    // then what it handed to the main thread.
    void run(const std::shared_ptr<Operation> &operation);
    // Whether the library's background removals and saves are under way.
    static bool libraryIsBusy();

    CliDownloadServices &services() { return *services_; }
    // Runs the download queue until `download` has ended or nothing is
    // deducing or fetching any more (a queue rebuilt from an earlier run is
    // started first), then interrupts whatever the queue began meanwhile
    // as a quit of the application would. The exit status: 0 for a complete
    // or saved download; otherwise 1 with the reason printed ("nothing is
    // running; the download stays queued" for one still waiting).
    int runDownload(const std::shared_ptr<Download> &download);
    // Whether a deduction or a fetch run is under way.
    static bool engineIsBusy();
    // "Active", "Queued", "Deduction failed: TEXT", "Complete",
    // "Incomplete (N pages missing)".
    static QString stateText(const Download &download);
    static int missingPages(const Download &download);

    // True when an alert other than a confirmation was shown: a refusal or
    // a failure the command must report in its exit status.
    bool sawAlert() const;

    // How a bulk deletion ended, as its controller's delegate heard it.
    struct DeletionOutcome {
        bool done = false;
        std::optional<Error> failure;
    };
    // Waits for a deletion the controller has `started` and gives the exit
    // status: 1 for a failure (printed) or a refusal (its alert shown),
    // otherwise 0 after printing `doneLine` when it ended.
    int finishDeletion(const DeletionOutcome &outcome, bool started, const QString &doneLine);
    // The library book whose title is `title` and, when given, whose source
    // is `source`, both ignoring case; null after printing why, also when
    // the title is found under several sources (they are listed).
    std::shared_ptr<Book> findBook(const QString &title,
                                   const std::optional<QString> &source = std::nullopt) const;
    // The book's chapter numbered `number`, or null after printing why.
    static std::shared_ptr<Chapter> findChapter(const Book &book, const Decimal &number);

private:
    class TerminalAlerts;

    const unsigned uses_;
    QString root_;
    QString siteName_;
    std::optional<QString> optionError_;
    std::shared_ptr<TerminalAlerts> alerts_;
    std::shared_ptr<CliDownloadServices> services_;
    std::unique_ptr<OperationQueue> queue_;
    std::unique_ptr<HomeTreeLock> homeTreeLock_;
};
