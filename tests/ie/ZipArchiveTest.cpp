#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "ZipTestSupport.h"
#include "files/FSStats.h"
#include "ie/zip/IEFSStats.h"
#include "ie/zip/IEZipper.h"

namespace {

class ZipArchiveTest : public testing::Test
{
protected:
    void TearDown() override { FSStats::setFreeSpaceOverride(std::nullopt); }
    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

TEST_F(ZipArchiveTest, ZippedFilesUnpackUnderTheirNewNames)
{
    const QByteArray first = testBytes(10000, 1), second = testBytes(5, 2);
    ASSERT_TRUE(writeFile(path(QStringLiteral("in/x.jpg")), first));
    ASSERT_TRUE(writeFile(path(QStringLiteral("in/y.png")), second));
    ASSERT_TRUE(IEZipper::zipFiles({path(QStringLiteral("in/x.jpg")), path(QStringLiteral("in/y.png"))},
                                   {QStringLiteral("B_c1[R]/001.jpg"), QStringLiteral("B_c1[R]/Ünï.png")},
                                   path(QStringLiteral("out.zip"))));
    ASSERT_TRUE(IEZipper::unzipFileName(path(QStringLiteral("out.zip")), path(QStringLiteral("u"))));
    EXPECT_EQ(filesUnder(path(QStringLiteral("u"))),
              QStringList({QStringLiteral("B_c1[R]/001.jpg"), QStringLiteral("B_c1[R]/Ünï.png")}));
    EXPECT_EQ(readFile(path(QStringLiteral("u/B_c1[R]/001.jpg"))), first);
    EXPECT_EQ(readFile(path(QStringLiteral("u/B_c1[R]/Ünï.png"))), second);
}

TEST_F(ZipArchiveTest, BackslashesAreFoldersAndFolderEntriesMakeOnlyFolders)
{
    ASSERT_TRUE(writeRawZip(path(QStringLiteral("a.zip")),
                            {{"a\\b.jpg", "image"}, {"empty/", ""}, {"deep/er/c.png", "c"}}));
    ASSERT_TRUE(IEZipper::unzipFileName(path(QStringLiteral("a.zip")), path(QStringLiteral("u"))));
    EXPECT_EQ(filesUnder(path(QStringLiteral("u"))),
              QStringList({QStringLiteral("a/b.jpg"), QStringLiteral("deep/er/c.png")}));
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("u/empty"))).isDir());
    // The entry's stored date, not the time of unpacking.
    EXPECT_EQ(QFileInfo(path(QStringLiteral("u/a/b.jpg"))).lastModified().date().year(), 2020);
}

// An entry without a name once made the reader write into memory it did not
// own.
TEST_F(ZipArchiveTest, NamelessEntriesAreSkipped)
{
    ASSERT_TRUE(writeRawZip(path(QStringLiteral("n.zip")), {{"", "nameless"}, {"ok.jpg", "fine"}}));
    ASSERT_TRUE(IEZipper::unzipFileName(path(QStringLiteral("n.zip")), path(QStringLiteral("u"))));
    EXPECT_EQ(filesUnder(path(QStringLiteral("u"))), QStringList({QStringLiteral("ok.jpg")}));
}

TEST_F(ZipArchiveTest, BadFileListsLeaveNoZip)
{
    ASSERT_TRUE(writeFile(path(QStringLiteral("x.jpg")), "x"));
    const QString zip = path(QStringLiteral("z.zip"));
    EXPECT_FALSE(IEZipper::zipFiles({path(QStringLiteral("x.jpg"))}, {}, zip));
    EXPECT_FALSE(IEZipper::zipFiles({}, {}, zip));
    EXPECT_FALSE(IEZipper::zipFiles({path(QStringLiteral("x.jpg")), path(QStringLiteral("missing.jpg"))},
                                    {QStringLiteral("a"), QStringLiteral("b")}, zip));
    EXPECT_FALSE(QFileInfo::exists(zip));
}

TEST_F(ZipArchiveTest, EntriesLeavingTheDestinationFailTheWholeUnpacking)
{
    const QList<QList<RawZipEntry>> hostile = {
        {{"ok.jpg", "fine"}, {"../evil.jpg", "x"}},
        {{"ok.jpg", "fine"}, {"chapter/../../evil.jpg", "x"}},
        {{"/tmp/evil.jpg", "x"}},
        {{"\\evil.jpg", "x"}},
        {{"C:/evil.jpg", "x"}},
        {{"ok.jpg", "fine"}, {"link", "/etc", true}},
        // Written under the name up to the NUL, recorded under another.
        {{"ok.jpg", "fine"}, {"nul@.jpg", "x"}},
    };
    for (const auto &entries : hostile) {
        QTemporaryDir scratch;
        const QString zip = scratch.filePath(QStringLiteral("h.zip"));
        ASSERT_TRUE(writeRawZip(zip, entries));
        // The zip writer takes C strings: the NUL goes in afterwards.
        ASSERT_TRUE(writeFile(zip, readFile(zip).replace("nul@.jpg", QByteArray("nul\0.jpg", 8))));
        const QString destination = scratch.filePath(QStringLiteral("dest/inner"));
        ZipArchive::Failure failure;
        QStringList created;
        EXPECT_FALSE(IEZipper::unzipFileName(zip, destination, &failure, &created))
            << entries.last().name.data();
        EXPECT_EQ(failure, ZipArchive::Failure::UnsafeEntry);
        EXPECT_EQ(filesUnder(scratch.path()), QStringList({QStringLiteral("h.zip")}));
    }
}

TEST_F(ZipArchiveTest, UnpackingStopsAtTheSizeLimits)
{
    const QString zip = path(QStringLiteral("bomb.zip"));
    // Highly compressible: a few kilobytes that expand a thousandfold.
    ASSERT_TRUE(writeRawZip(zip, {{"a/one.bin", QByteArray(600 * 1024, 'x')}, {"a/two.bin", "tiny"}}));
    ZipArchive::Failure failure;
    QStringList created;

    ZipArchive::Limits limits;
    limits.freeSpace = [] { return quint64(250ull << 20) + 100 * 1024; };
    EXPECT_FALSE(IEZipper::unzipFileName(zip, path(QStringLiteral("u1")), &failure, &created, limits));
    EXPECT_EQ(failure, ZipArchive::Failure::TooLarge);

    limits = {};
    limits.maxTotalBytes = 1024;
    EXPECT_FALSE(IEZipper::unzipFileName(zip, path(QStringLiteral("u2")), &failure, &created, limits));
    EXPECT_EQ(failure, ZipArchive::Failure::TooLarge);

    limits = {};
    limits.maxEntries = 1;
    EXPECT_FALSE(IEZipper::unzipFileName(zip, path(QStringLiteral("u3")), &failure, &created, limits));
    EXPECT_EQ(failure, ZipArchive::Failure::TooLarge);

    // The default free-space reading goes through the pinned value too.
    FSStats::setFreeSpaceOverride(quint64(250ull << 20));
    EXPECT_FALSE(IEZipper::unzipFileName(zip, path(QStringLiteral("u4")), &failure, &created));
    EXPECT_EQ(failure, ZipArchive::Failure::TooLarge);
    EXPECT_TRUE(filesUnder(path(QStringLiteral("u4"))).isEmpty());
}

TEST_F(ZipArchiveTest, SizeOfPathCountsNestedFiles)
{
    EXPECT_EQ(IEFSStats::sizeOfPath(path(QStringLiteral("missing"))), 0u);
    ASSERT_TRUE(writeFile(path(QStringLiteral("t/a.bin")), QByteArray(1000, 'a')));
    ASSERT_TRUE(writeFile(path(QStringLiteral("t/s/b.bin")), QByteArray(234, 'b')));
    EXPECT_EQ(IEFSStats::sizeOfPath(path(QStringLiteral("t/a.bin"))), 1000u);
    EXPECT_GE(IEFSStats::sizeOfPath(path(QStringLiteral("t"))), 1234u);
}

} // namespace
