#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "files/HomeTreeLock.h"

namespace {

// Whether another process can take the lock right now. Spawned directly:
// ThreadSanitizer's runtime aborts in the way QProcess starts a child.
bool otherProcessCanLock(const QString &home)
{
    const std::string path = QString(home + u'/' + HomeTreeLock::lockFileName()).toStdString();
    char flock[] = "flock", nonBlocking[] = "-n", command[] = "true";
    char *argv[] = {flock, nonBlocking, const_cast<char *>(path.c_str()), command, nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "flock", nullptr, nullptr, argv, environ) != 0)
        return false;
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(HomeTreeLock, OneHolderAtATimeUntilItLetsGo)
{
    QTemporaryDir root;
    const QString home = root.filePath(QStringLiteral("YomoraC"));
    QString error;
    auto first = HomeTreeLock::lockHomeDirectory(home, &error);
    ASSERT_TRUE(first) << error.toStdString();
    EXPECT_TRUE(QDir(home).exists());

    auto second = HomeTreeLock::lockHomeDirectory(home, &error);
    EXPECT_FALSE(second);
    EXPECT_EQ(error, QStringLiteral("Yomora is already using ") + home);
    // Another home tree is another lock.
    EXPECT_TRUE(HomeTreeLock::lockHomeDirectory(root.filePath(QStringLiteral("other")), &error));

    first.reset();
    EXPECT_TRUE(HomeTreeLock::lockHomeDirectory(home, &error));
}

TEST(HomeTreeLock, IsTheSystemsLockSeenByOtherProcesses)
{
    if (QStandardPaths::findExecutable(QStringLiteral("flock")).isEmpty())
        GTEST_SKIP() << "no flock(1)";
    QTemporaryDir root;
    QString error;
    auto lock = HomeTreeLock::lockHomeDirectory(root.path(), &error);
    ASSERT_TRUE(lock);
    EXPECT_FALSE(otherProcessCanLock(root.path()));
    lock.reset();
    EXPECT_TRUE(otherProcessCanLock(root.path()));
}
