#pragma once

#include <memory>
#include <optional>

#include <QString>
#include <QStringList>

class Download;
class CliDownloadServices;
class HomeTreeLock;

// What the download commands share: the home tree chosen with --root and
// the engine started on it as the application starts it. Then it runs the engine's queue with the event loop
// until one download has ended, showing the progress of whatever runs meanwhile. Thread contract: main
// thread.
class CliDownloadSession
{
public:
    CliDownloadSession();
    ~CliDownloadSession();
    CliDownloadSession(const CliDownloadSession &) = delete;
    CliDownloadSession &operator=(const CliDownloadSession &) = delete;

    // Takes --root and --site options from args; nullopt on success, else
    // the message for the user.
    std::optional<QString> takeOptions(QStringList &args);
    // Opens the store and recovers; false after printing why not.
    bool open();

    CliDownloadServices &services() { return *services_; }

    // Runs the queue until `download` is no longer queued or active, or
    // until nothing is deducing or fetching any more. When it waits and
    // nothing is running, the queue is started first.
    void runUntilEnded(const std::shared_ptr<Download> &download);
    // Whether a deduction or a fetch run is under way.
    static bool engineIsBusy();
    // 0 for a complete or saved download; otherwise prints the reason ("nothing
    // is running; the download stays queued" for one still waiting).
    int report(const std::shared_ptr<Download> &download);
    // Stops a download that the queue began after ours as a quit of the app
    // would: the next start offers it for resuming.
    void interruptWhatRunsNow();

    // "Active", "Queued", "Deduction failed: TEXT", "Complete",
    // "Incomplete (N pages missing)".
    static QString stateText(const Download &download);
    static int missingPages(const Download &download);

private:
    std::shared_ptr<CliDownloadServices> services_;
    QString root_;
    std::unique_ptr<HomeTreeLock> homeTreeLock_;
};
