#include <gtest/gtest.h>

#include <limits>

#include <plist/plist.h>

#include <QDir>
#include <QPoint>
#include <QTemporaryDir>

#include "foundation/PlistReader.h"
#include "files/PropertyList.h"

namespace {

// Every kind of value at the sizes where the binary form changes its width:
// counts past the marker's 15, integers of one to eight bytes, texts in
// ASCII and UTF-16 (a pair of surrogates too), enough objects that a
// reference needs two bytes and offsets need four.
QVariantMap everyKind()
{
    QVariantList integers;
    for (qint64 n : {qint64(0), qint64(255), qint64(256), qint64(65535), qint64(65536), qint64(1) << 32,
                     qint64(-1), std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()})
        integers << n;
    QVariantList many;
    for (int i = 0; i < 700; ++i)
        many << QVariant(QString(100, QChar(u'a' + i % 26)) + QString::number(i));
    QVariantMap nested{{QStringLiteral("empty list"), QVariantList()},
                       {QStringLiteral("empty map"), QVariantMap()},
                       {QStringLiteral("\u00e9t\u00e9"), QStringLiteral("\u6f2b\u753b \U0001F600")}};
    return {
        {QStringLiteral("integers"), integers},
        {QStringLiteral("reals"), QVariantList{0.5, -1e300, 3.0}},
        {QStringLiteral("bools"), QVariantList{true, false}},
        {QStringLiteral("data"), QByteArray("\x00\x01\xff", 3)},
        {QStringLiteral("long data"), QByteArray(70000, 'x')},
        {QStringLiteral("texts"), QVariantList{QStringLiteral(""), QStringLiteral("fifteen chars!!"),
                                               QString(300, u'\u00e9'), QStringLiteral("tab\there")}},
        {QStringLiteral("many"), many},
        {QStringLiteral("nested"), nested},
    };
}

TEST(PropertyListTest, BinaryListsReadBackThroughTheLibraryAsWritten)
{
    const QVariantMap value = everyKind();
    const QByteArray binary = PropertyList::toBinary(value);
    ASSERT_TRUE(binary.startsWith("bplist00"));
    EXPECT_TRUE(PlistReader::isSafe(binary));
    const std::optional<QVariant> back = PropertyList::fromData(binary);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->toMap(), value);
    // The same values through the library's own writer read the same.
    EXPECT_EQ(PropertyList::fromData(PropertyList::toXml(value)), back);

    // The library's binary reader agrees on the structure, not only ours.
    plist_t root = nullptr;
    plist_from_bin(binary.constData(), uint32_t(binary.size()), &root);
    ASSERT_TRUE(root);
    EXPECT_EQ(plist_dict_get_size(root), uint32_t(value.size()));
    EXPECT_EQ(plist_array_get_size(plist_dict_get_item(root, "many")), 700u);
    plist_free(root);
}

TEST(PropertyListTest, TextsEndAtANulAndUnwritableValuesAreLeftOut)
{
    const QVariantMap value{{QStringLiteral("cut"), QString::fromUtf16(u"before\0after", 12)},
                            {QStringLiteral("kept"), 1},
                            {QStringLiteral("dropped"), QVariant::fromValue(QPoint(1, 2))},
                            {QStringLiteral("nan"), std::numeric_limits<double>::quiet_NaN()}};
    for (const QByteArray &data : {PropertyList::toBinary(value), PropertyList::toXml(value)}) {
        const QVariantMap back = PropertyList::fromData(data).value_or(QVariant()).toMap();
        EXPECT_EQ(back.value(QStringLiteral("cut")).toString(), u"before");
        EXPECT_EQ(back.value(QStringLiteral("kept")), QVariant(qint64(1)));
        EXPECT_FALSE(back.contains(QStringLiteral("dropped")));
        EXPECT_EQ(back.value(QStringLiteral("nan")), QVariant(0.0));
    }
    EXPECT_TRUE(PropertyList::toBinary(QVariant::fromValue(QPoint(1, 2))).isEmpty());
}

TEST(PropertyListTest, FilesAreReplacedWholeAndBoundedInSize)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list"));
    EXPECT_FALSE(PropertyList::readFile(path, 1024));
    for (const auto durability : {PropertyList::Durability::Synced, PropertyList::Durability::Renamed}) {
        const QVariantList value{QStringLiteral("a"), durability == PropertyList::Durability::Synced};
        ASSERT_TRUE(PropertyList::writeFile(path, PropertyList::toBinary(value), durability));
        EXPECT_EQ(PropertyList::readFile(path, 1024), QVariant(value));
    }
    EXPECT_FALSE(PropertyList::readFile(path, 8)) << "larger than allowed";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("list")})
        << "no temporary file left behind";
    EXPECT_FALSE(PropertyList::writeFile(dir.filePath(QStringLiteral("missing/list")), "x",
                                         PropertyList::Durability::Renamed));
}

} // namespace
