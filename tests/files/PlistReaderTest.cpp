#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "files/PlistArrayFile.h"
#include "foundation/PlistReader.h"
#include "support/BinaryPlist.h"

using namespace BinaryPlist;

namespace {

// Whether the data parses, freeing what it parsed.
bool parses(const QByteArray &data)
{
    plist_t root = PlistReader::read(data);
    plist_free(root);
    return root != nullptr;
}

// Arrays nested `depth` deep around a true, each referring to the next.
QByteArray nested(int depth)
{
    QList<QByteArray> objects;
    for (int i = 0; i < depth; ++i)
        objects << array({quint64(i + 1)});
    objects << yes();
    return file(objects);
}

} // namespace

// Each of these once crashed the program or ate the machine's memory inside
// the property-list library.
TEST(PlistReaderTest, HostileFilesAreRefusedBeforeParsing)
{
    EXPECT_FALSE(parses(nested(100'000))) << "the parser recursed off the stack";

    // Every level refers twice to the next: 40 levels make 2^40 nodes.
    QList<QByteArray> doubling;
    for (int i = 0; i < 40; ++i)
        doubling << array({quint64(i + 1), quint64(i + 1)});
    doubling << yes();
    EXPECT_FALSE(parses(file(doubling)));

    EXPECT_FALSE(parses(file({array({1}), array({0})}))) << "two arrays inside each other";
    EXPECT_FALSE(parses(file({dictionary({1}, {2}), utf16(QByteArray("\0k\0\0", 4)), yes()})));
    EXPECT_FALSE(parses(file({array({7})}))) << "a reference past the objects";

    const int depth = 1'000'000;
    const QByteArray deepText = "<?xml version=\"1.0\"?><plist version=\"1.0\">" +
                                QByteArray("<array>").repeated(depth) +
                                QByteArray("</array>").repeated(depth) + "</plist>";
    EXPECT_FALSE(parses(deepText));
}

TEST(PlistReaderTest, SoundFilesStillParse)
{
    EXPECT_TRUE(parses(nested(40)));
    // Writers share equal objects: one key and one value used many times.
    EXPECT_TRUE(parses(
        file({array({1, 1, 1}), dictionary({2, 3}, {4, 4}), ascii("title"), ascii("url"), ascii("x")})));
    EXPECT_TRUE(parses("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key><array/>"
                       "<key>b</key><array><dict></dict></array></dict></plist>"));

    QTemporaryDir root;
    const QString path = root.filePath(QStringLiteral("journal"));
    const QList<QMap<QString, QString>> entries{{{QStringLiteral("from"), QStringLiteral("a")}}};
    ASSERT_TRUE(PlistArrayFile::writeDictionaries(path, entries));
    EXPECT_EQ(PlistArrayFile::readDictionaries(path), entries);
}
