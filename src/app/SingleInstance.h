#pragma once

#include <memory>

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// One window per home tree. The first program on a tree listens on a local
// socket named after the tree; a later one hands its arguments over and
// ends, so that starting Yomora again (from a launcher, or with
// --open-chapter) brings the window already open forward instead of
// stopping at the home tree's lock. The lock stays the authority: a program
// that finds nobody listening starts as usual and meets the lock.
// Thread contract: a SingleInstance lives on the thread that made it and
// reports there; handOver blocks its caller and may run on any thread.
class SingleInstance : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleInstance)

public:
    // The socket name of a home tree: the same for every spelling of the
    // tree's path that resolves to it, different for every user.
    static QString serverNameFor(const QString &homeDirectory);

    // Gives `arguments` (without the program's name) to the program
    // listening on `serverName` and waits until it has acted on them. False
    // at once when nobody listens; `timeoutMs` bounds each wait on a program
    // that listens but does not answer.
    static bool handOver(const QString &serverName, const QStringList &arguments, int timeoutMs = 5000);

    explicit SingleInstance(QString serverName, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Starts listening. A socket left behind by a run that was killed is
    // replaced; false when a live program answers on the name or the socket
    // cannot be made.
    bool listen();
    bool isListening() const;
    QString serverName() const { return serverName_; }

Q_SIGNALS:
    // A later program's arguments, after which it is told to end.
    void argumentsReceived(const QStringList &arguments);

private:
    void accept();
    void read(QLocalSocket *socket);

    QString serverName_;
    std::unique_ptr<QLocalServer> server_;
};
