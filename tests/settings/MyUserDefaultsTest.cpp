#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "settings/MyUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "support/BinaryPlist.h"

namespace {

class MyUserDefaultsTest : public testing::Test
{
protected:
    QString path() const { return root.filePath(QStringLiteral("userDefaults")); }

    void writeFile(const QByteArray &data)
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    QByteArray readFile() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir root;
};

} // namespace

TEST_F(MyUserDefaultsTest, ValuesSurviveAWriteAndAReload)
{
    {
        MyUserDefaults defaults;
        defaults.setFilename(path());
        defaults.setBool(true, SettingsKeys::whiteBackground);
        defaults.setInteger(-1, SettingsKeys::downloadsRestoreLocation);
        defaults.setInteger(3, SettingsKeys::lastTabVisited);
        defaults.setFloat(0.35, SettingsKeys::dimmerAlpha);
        defaults.setObject(QStringLiteral("http://mirror.example/"), SettingsKeys::mangaFoxBaseURL);
        defaults.setObject(QVariantList{qint64(4), qint64(-1)}, SettingsKeys::libraryRestoreLocation);
        ASSERT_TRUE(defaults.synchronize());
    }
    MyUserDefaults defaults;
    defaults.registerDefaults({{SettingsKeys::whiteBackground, false}, {SettingsKeys::autoHideMenu, true}});
    defaults.setFilename(path());
    EXPECT_TRUE(defaults.boolForKey(SettingsKeys::whiteBackground));
    EXPECT_EQ(defaults.integerForKey(SettingsKeys::downloadsRestoreLocation), -1);
    EXPECT_EQ(defaults.integerForKey(SettingsKeys::lastTabVisited), 3);
    EXPECT_DOUBLE_EQ(defaults.floatForKey(SettingsKeys::dimmerAlpha), 0.35);
    EXPECT_EQ(defaults.stringForKey(SettingsKeys::mangaFoxBaseURL), QStringLiteral("http://mirror.example/"));
    EXPECT_EQ(defaults.arrayForKey(SettingsKeys::libraryRestoreLocation),
              (QVariantList{qint64(4), qint64(-1)}));
    EXPECT_TRUE(defaults.boolForKey(SettingsKeys::autoHideMenu)) << "defaults fill what the file lacks";
    EXPECT_FALSE(readFile().contains("autoHideMenu")) << "defaults are never written";
    EXPECT_TRUE(readFile().startsWith("<?xml")) << "people edit this file by hand";
}

TEST_F(MyUserDefaultsTest, ValuesOfTheWrongKindReadAsZero)
{
    MyUserDefaults defaults;
    defaults.setFilename(path());
    defaults.setObject(QStringLiteral("YES"), SettingsKeys::autoHideMenu);
    defaults.setObject(QVariantList{qint64(1)}, SettingsKeys::lastTabVisited);
    defaults.setObject(QStringLiteral("0.5"), SettingsKeys::dimmerAlpha);
    defaults.setBool(true, SettingsKeys::mangaFoxBaseURL);
    defaults.setFloat(2.75, SettingsKeys::downloadsRestoreLocation);
    defaults.registerDefaults({{SettingsKeys::autoHideMenu, true}});

    EXPECT_FALSE(defaults.boolForKey(SettingsKeys::autoHideMenu));
    EXPECT_EQ(defaults.integerForKey(SettingsKeys::lastTabVisited), 0);
    EXPECT_EQ(defaults.floatForKey(SettingsKeys::dimmerAlpha), 0.0);
    EXPECT_EQ(defaults.stringForKey(SettingsKeys::mangaFoxBaseURL), QString());
    EXPECT_TRUE(defaults.arrayForKey(SettingsKeys::autoHideMenu).isEmpty());
    EXPECT_EQ(defaults.integerForKey(SettingsKeys::downloadsRestoreLocation), 2);
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("neverSet")));
}

TEST_F(MyUserDefaultsTest, FilesThatAreNotADictionaryAreReplacedByAnEmptyOne)
{
    const QByteArray listFile = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">"
                                "<array><true/></array></plist>";
    const QByteArray truncated = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>cropPage</key>";
    for (const QByteArray &content :
         {QByteArray(), QByteArray("\x00\x01garbage\xff", 11), listFile, truncated}) {
        writeFile(content);
        MyUserDefaults defaults;
        defaults.registerDefaults({{SettingsKeys::cropPage, true}});
        defaults.setFilename(path());
        EXPECT_TRUE(defaults.boolForKey(SettingsKeys::cropPage)) << content.constData();
        const QByteArray rewritten = readFile();
        EXPECT_TRUE(rewritten.contains("<dict/>") || rewritten.contains("<dict></dict>"))
            << rewritten.constData();
    }
}

// A damaged file whose string holds a NUL byte once ended the program inside
// the property-list library; the text now ends at the NUL, as it would once
// written back.
TEST_F(MyUserDefaultsTest, AStringWithANulByteReadsUpToIt)
{
    // bplist00 { "k": "a\0b" }: the objects, their offsets and the trailer.
    const QByteArray file("bplist00"
                          "\xd1\x01\x02"
                          "\x51k"
                          "\x53"
                          "a\x00"
                          "b"
                          "\x08\x0b\x0d"
                          "\x00\x00\x00\x00\x00\x00\x01\x01"
                          "\x00\x00\x00\x00\x00\x00\x00\x03"
                          "\x00\x00\x00\x00\x00\x00\x00\x00"
                          "\x00\x00\x00\x00\x00\x00\x00\x11",
                          8 + 3 + 2 + 4 + 3 + 32);
    writeFile(file);
    MyUserDefaults defaults;
    defaults.setFilename(path());
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("k")), QStringLiteral("a"));
}

// A key spelled in UTF-16 with a NUL in it ended the program inside the
// property-list library; such a file is now unreadable like any other.
TEST_F(MyUserDefaultsTest, AKeyWithANulByteMakesTheFileUnreadable)
{
    using namespace BinaryPlist;
    writeFile(file({dictionary({1, 2}, {3, 3}), ascii("cropPage"), utf16(QByteArray("\0a\0\0", 4)), yes()}));
    MyUserDefaults defaults;
    defaults.registerDefaults({{SettingsKeys::autoHideMenu, true}});
    defaults.setFilename(path());
    EXPECT_FALSE(defaults.boolForKey(SettingsKeys::cropPage));
    EXPECT_TRUE(defaults.boolForKey(SettingsKeys::autoHideMenu));
    EXPECT_TRUE(readFile().contains("<dict/>")) << readFile().constData();
}

TEST_F(MyUserDefaultsTest, MissingAndUnreadableFilesGiveTheDefaults)
{
    MyUserDefaults fresh;
    fresh.setFilename(path());
    EXPECT_TRUE(QFile::exists(path())) << "a first start writes the file at once";

    // A directory where the file should be can be neither read nor replaced.
    const QString blocked = root.filePath(QStringLiteral("blocked"));
    ASSERT_TRUE(QDir().mkpath(blocked + QStringLiteral("/inside")));
    MyUserDefaults defaults;
    defaults.registerDefaults({{SettingsKeys::autoHideMenu, true}});
    defaults.setFilename(blocked);
    EXPECT_TRUE(defaults.boolForKey(SettingsKeys::autoHideMenu));
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_TRUE(QFileInfo(blocked + QStringLiteral("/inside")).isDir());
}

TEST_F(MyUserDefaultsTest, AFailedWriteIsRetriedAtTheNextSynchronize)
{
    const QString folder = root.filePath(QStringLiteral("Preferences"));
    MyUserDefaults defaults;
    EXPECT_FALSE(defaults.synchronize()) << "no file name yet";
    defaults.setFilename(folder + QStringLiteral("/userDefaults"));
    defaults.setInteger(2, SettingsKeys::lastTabVisited);
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_EQ(defaults.integerForKey(SettingsKeys::lastTabVisited), 2) << "kept in memory";

    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(defaults.synchronize());
    MyUserDefaults reloaded;
    reloaded.setFilename(folder + QStringLiteral("/userDefaults"));
    EXPECT_EQ(reloaded.integerForKey(SettingsKeys::lastTabVisited), 2);
}
