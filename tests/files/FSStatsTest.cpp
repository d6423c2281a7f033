#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "files/FSStats.h"
#include "files/IEMigrator.h"
#include "files/MyDirectories.h"
#include "foundation/Alerts.h"

TEST(FSStatsTest, SpaceTexts)
{
    const struct {
        quint64 bytes;
        const char *text;
    } cases[] = {
        {1536, "1.50 KB"},       {1024, "1024 bytes"},          {0, "0 bytes"},
        {5ull << 20, "5.00 MB"}, {(7ull << 30) / 2, "3.50 GB"}, {2048ull << 30, "2048.00 GB"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FSStats(c.bytes).availableDiskSpaceString(), QString::fromUtf8(c.text)) << c.bytes;
    EXPECT_EQ(FSStats((3ull << 20) - 1).availableDiskSpaceInMB(), 2u);
}

TEST(FSStatsTest, DiskSpaceOkRefusesUnlessMoreIsFree)
{
    auto recorder = std::make_shared<AlertRecorder>();
    Alerts::install(recorder);
    FSStats::setFreeSpaceOverride(2ull << 20);
    EXPECT_TRUE(DiskSpaceOk(1));
    EXPECT_TRUE(recorder->isEmpty());
    EXPECT_FALSE(DiskSpaceOk(2));
    ASSERT_EQ(recorder->alerts().size(), 1u);
    EXPECT_EQ(recorder->last().title, QStringLiteral("Download cancelled"));
    EXPECT_EQ(recorder->last().message, QStringLiteral("Only 2.00 MB left on device\n2 MB required."));
    FSStats::setFreeSpaceOverride(std::nullopt);
    Alerts::install(nullptr);
}

TEST(FSStatsTest, ReadsTheFileSystemBeforeTheHomeExists)
{
    QTemporaryDir root;
    MyDirectories::setRootDirectory(root.path() + QStringLiteral("/not/yet"));
    EXPECT_GT(FSStats().freeSpace(), 0u);
    MyDirectories::setRootDirectory({});
}

TEST(IEMigratorTest, MovesOnlyWhatTheDestinationLacks)
{
    QTemporaryDir root;
    QDir dir(root.path());
    dir.mkpath(QStringLiteral("old/images/book"));
    dir.mkpath(QStringLiteral("new/cache"));
    dir.mkpath(QStringLiteral("old/cache"));
    auto write = [&](const QString &path, const QByteArray &data) {
        QFile file(dir.filePath(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    };
    write(QStringLiteral("old/images/book/001.jpg"), "page");
    write(QStringLiteral("old/cache/list"), "old list");
    write(QStringLiteral("old/CoreData.sqlite"), "store");

    const OptionalError error = IEMigrator().migrateBaseNames(
        {QStringLiteral("cache"), QStringLiteral("CoreData.sqlite"), QStringLiteral("images"),
         QStringLiteral("toRemovePaths")},
        dir.filePath(QStringLiteral("old")), dir.filePath(QStringLiteral("new")));
    EXPECT_FALSE(error);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("new/images/book/001.jpg"))));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("new/CoreData.sqlite"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("old/images"))));
    // Already at the destination: both copies stay as they were.
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("old/cache/list"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("new/cache/list"))));

    // A destination that cannot take the entry reports it and goes on.
    write(QStringLiteral("old/a"), "a");
    write(QStringLiteral("old/b"), "b");
    const OptionalError failed = IEMigrator().migrateBaseNames({QStringLiteral("a"), QStringLiteral("b")},
                                                               dir.filePath(QStringLiteral("old")),
                                                               dir.filePath(QStringLiteral("missing")));
    EXPECT_TRUE(failed);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("old/b"))));
}
