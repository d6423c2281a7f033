#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into an orderly quit of the event loop,
// so that a session logout or Ctrl+C saves like closing the window does.
// Only SIGKILL (or a crash) ends a run without saving.
// Thread contract: install on the main thread, once.
class QuitSignals : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QuitSignals)

public:
    // Returns false when the signals could not be caught; the default
    // handlers then stay in place.
    static bool install(QObject *parent);

private:
    explicit QuitSignals(QObject *parent);
    static void handle(int signal);

    QSocketNotifier *notifier_ = nullptr;
};
