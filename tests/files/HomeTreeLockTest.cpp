#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "files/HomeTreeLock.h"

namespace {

// Whether another process can take the lock right now.
bool otherProcessCanLock(const QString &home)
{
    QProcess flock;
    flock.start(QStringLiteral("flock"),
                {QStringLiteral("-n"), home + u'/' + HomeTreeLock::lockFileName(), QStringLiteral("true")});
    EXPECT_TRUE(flock.waitForFinished(10000));
    return flock.exitStatus() == QProcess::NormalExit && flock.exitCode() == 0;
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
