#include "app/SingleInstance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace {

// Arguments are a few short words; anything larger is not one of ours.
constexpr qint64 kMaxMessageBytes = 64 * 1024;
constexpr char kTaken = '\x01';

} // namespace

QString SingleInstance::serverNameFor(const QString &homeDirectory)
{
    const QFileInfo info(homeDirectory);
    const QString path = info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
    const QByteArray digest = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex();
    // Qt places a bare name in the shared temporary directory, so the user
    // is part of it: another user's socket there is neither ours to join
    // nor ours to remove.
    return QStringLiteral("yomora-%1-%2").arg(::getuid()).arg(QString::fromLatin1(digest.left(16)));
}

bool SingleInstance::handOver(const QString &serverName, const QStringList &arguments, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message;
    {
        QDataStream out(&message, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << arguments;
    }
    socket.write(message);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMs))
            return false;
    }
    // The answer comes once the running program has acted on the arguments,
    // so that what this program was asked to do is done when it ends.
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == kTaken;
}

SingleInstance::SingleInstance(QString serverName, QObject *parent)
    : QObject(parent), serverName_(std::move(serverName))
{}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::listen()
{
    if (isListening())
        return true;
    // A live program keeps its name. Qt would not tell: with access options
    // it binds elsewhere and renames the socket over whatever is there.
    {
        QLocalSocket probe;
        probe.connectToServer(serverName_);
        const bool live = probe.state() != QLocalSocket::UnconnectedState;
        probe.abort();
        if (live)
            return false;
    }
    // What is left is a socket that a killed run left behind, or nothing.
    QLocalServer::removeServer(serverName_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::accept);
    if (server_->listen(serverName_))
        return true;
    server_.reset();
    return false;
}

bool SingleInstance::isListening() const
{
    return server_ && server_->isListening();
}

void SingleInstance::accept()
{
    while (QLocalSocket *socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        if (socket->bytesAvailable() > 0)
            read(socket);
    }
}

void SingleInstance::read(QLocalSocket *socket)
{
    if (socket->bytesAvailable() > kMaxMessageBytes) {
        socket->abort();
        return;
    }
    QDataStream in(socket);
    in.setVersion(QDataStream::Qt_6_0);
    in.startTransaction();
    QStringList arguments;
    in >> arguments;
    if (!in.commitTransaction()) {
        // Short of the end, the rest has not arrived yet.
        if (in.status() != QDataStream::ReadPastEnd)
            socket->abort();
        return;
    }
    Q_EMIT argumentsReceived(arguments);
    socket->putChar(kTaken);
    socket->flush();
    socket->disconnectFromServer();
}
