#include <gtest/gtest.h>

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "files/FilesRemover.h"

namespace {

class FilesRemoverTest : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : {"001.jpg", "002.png", "notes.txt", ".hidden"})
            touch(QString::fromUtf8(name));
        dir.mkpath(QStringLiteral("sub.jpg/inner"));
        touch(QStringLiteral("sub.jpg/inner/x.jpg"));
    }

    void touch(const QString &name)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QStringList remaining() const
    {
        return dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir root;
    QDir dir{root.path()};
};

} // namespace

TEST_F(FilesRemoverTest, EmptyPatternRemovesEveryPlainFileAndLeavesDirectories)
{
    EXPECT_FALSE(FilesRemover::removeFilesAtPath(root.path(), QString()));
    EXPECT_EQ(remaining(), QStringList{QStringLiteral("sub.jpg")});
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("sub.jpg/inner/x.jpg"))));
}

TEST_F(FilesRemoverTest, PatternMatchesAnywhereInTheName)
{
    EXPECT_FALSE(FilesRemover::removeFilesAtPath(root.path(), QStringLiteral("jp")));
    EXPECT_EQ(remaining(), (QStringList{QStringLiteral(".hidden"), QStringLiteral("002.png"),
                                        QStringLiteral("notes.txt"), QStringLiteral("sub.jpg")}));

    EXPECT_FALSE(FilesRemover::removeFilesAtPath(root.path(), QStringLiteral("\\.(jpg|txt)$"), true));
    EXPECT_EQ(remaining(), (QStringList{QStringLiteral(".hidden"), QStringLiteral("002.png")}));
}

TEST_F(FilesRemoverTest, LinksAreRemovedWithoutTouchingTheirTargets)
{
    QTemporaryDir elsewhere;
    QFile target(elsewhere.filePath(QStringLiteral("keep.jpg")));
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.close();
    ASSERT_TRUE(QFile::link(elsewhere.path(), dir.filePath(QStringLiteral("linkdir"))));
    EXPECT_FALSE(FilesRemover::removeFilesAtPath(root.path(), QStringLiteral("link"), true));
    EXPECT_FALSE(QFileInfo(dir.filePath(QStringLiteral("linkdir"))).isSymLink());
    EXPECT_TRUE(target.exists());
}

TEST_F(FilesRemoverTest, FailuresAreReportedAndRemoveNothingMore)
{
    EXPECT_TRUE(FilesRemover::removeFilesAtPath(dir.filePath(QStringLiteral("missing")), QString()));
    EXPECT_TRUE(FilesRemover::removeFilesAtPath(root.path(), QStringLiteral("([unclosed")));
    EXPECT_EQ(remaining().size(), 5);
}

TEST_F(FilesRemoverTest, AFolderThatCannotBeListedOrEmptiedIsAFailure)
{
    EXPECT_TRUE(FilesRemover::removeFilesAtPath(dir.filePath(QStringLiteral("notes.txt")), QString()));
    // Entries the system refuses to remove, even to the super-user.
    EXPECT_TRUE(FilesRemover::removeFilesAtPath(QStringLiteral("/proc/self"),
                                                QStringLiteral("^(fdinfo|status)$"), true));
    // The super-user reads every folder; anyone else meets the permissions.
    if (geteuid() != 0) {
        const auto permissions = QFile::permissions(root.path());
        ASSERT_TRUE(QFile::setPermissions(root.path(), QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        EXPECT_TRUE(FilesRemover::removeFilesAtPath(root.path(), QString()));
        QFile::setPermissions(root.path(), permissions);
        EXPECT_EQ(remaining().size(), 5);
    }
}
