#include "files/HomeTreeLock.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "foundation/Localized.h"

QString HomeTreeLock::lockFileName()
{
    return QStringLiteral("Yomora.lock");
}

std::unique_ptr<HomeTreeLock> HomeTreeLock::lockHomeDirectory(const QString &home, QString *error)
{
    auto fail = [&](const QString &message) {
        if (error)
            *error = message;
        return nullptr;
    };
    if (!QDir().mkpath(home))
        return fail(localized("Yomora cannot create %1").arg(home));
    const QByteArray path = QFile::encodeName(home + u'/' + lockFileName());
    // Not inherited by child processes, which would otherwise keep the lock
    // after this program has ended.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail(
            localized("Yomora cannot lock %1: %2").arg(home, QString::fromLocal8Bit(std::strerror(errno))));
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int cause = errno;
        ::close(fd);
        if (cause == EWOULDBLOCK)
            return fail(localized("Yomora is already using %1").arg(home));
        return fail(
            localized("Yomora cannot lock %1: %2").arg(home, QString::fromLocal8Bit(std::strerror(cause))));
    }
    return std::unique_ptr<HomeTreeLock>(new HomeTreeLock(home, fd));
}

HomeTreeLock::~HomeTreeLock()
{
    ::close(fd_);
}
