#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "files/MyDirectories.h"
#include "files/UrlStringJoins.h"
#include "foundation/Device.h"

namespace {

class MyDirectoriesTest : public testing::Test
{
protected:
    void SetUp() override { MyDirectories::setRootDirectory(root.path()); }
    void TearDown() override
    {
        MyDirectories::setRootDirectory({});
        Device::setSystemVersion(5.0);
    }

    QTemporaryDir root;
    MyDirectories &dirs = MyDirectories::sharedMyDirectories();
};

} // namespace

TEST_F(MyDirectoriesTest, DataDirectoryFollowsTheSystemVersion)
{
    const QString home = root.path() + QStringLiteral("/YomoraC");
    EXPECT_EQ(dirs.preferencesDirectory(), home + QStringLiteral("/Library/Preferences"));

    Device::setSystemVersion(4.3);
    EXPECT_EQ(dirs.newApplicationDirectory(), home + QStringLiteral("/Library/Caches/AppData_1.9.10"));
    EXPECT_EQ(dirs.imagesDirectory(), home + QStringLiteral("/Library/Caches/AppData_1.9.10/images"));

    Device::setSystemVersion(5.0);
    EXPECT_EQ(dirs.applicationDocumentDirectory(), home + QStringLiteral("/Documents/AppData_1.9.10"));
    EXPECT_EQ(dirs.cacheDirectory(), home + QStringLiteral("/Documents/AppData_1.9.10/cache"));
}

TEST_F(MyDirectoriesTest, CreatesTheTreeWithMode0755)
{
    // A strict umask must not narrow the mode, nor leave a parent made on
    // the way (the documents folder) with another one.
    const mode_t oldMask = ::umask(077);
    dirs.createDirectories();
    ::umask(oldMask);
    for (const QString &path :
         {dirs.homeDirectory(), dirs.libraryDirectory(), dirs.appleCachesDirectory(),
          dirs.newApplicationDirectory(), dirs.documentDirectory(), dirs.cacheDirectory(),
          dirs.preferencesDirectory(), dirs.temporaryDirectory()}) {
        struct stat st {
        };
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << qPrintable(path);
        EXPECT_EQ(st.st_mode & 0777, 0755u) << qPrintable(path);
    }
    EXPECT_FALSE(QFileInfo::exists(dirs.imagesDirectory())) << "images are created on demand";
}

TEST(UrlStringJoinsTest, AppendsWithExactlyOneSlash)
{
    const struct {
        const char *base, *component, *expected;
    } cases[] = {
        {"http://a.com/", "/manga/x", "http://a.com/manga/x"},
        {"http://a.com", "manga/x", "http://a.com/manga/x"},
        {"http://a.com/", "manga/x", "http://a.com/manga/x"},
        {"http://a.com", "/manga/x", "http://a.com/manga/x"},
        {"http://a.com/", "http://b.com/y", "http://b.com/y"},
        {"http://a.com/", "https://b.com/y", "https://b.com/y"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(
            urlStringByAppendingPathComponent(QString::fromUtf8(c.base), QString::fromUtf8(c.component)),
            QString::fromUtf8(c.expected))
            << c.base << " + " << c.component;
}

TEST(UrlStringJoinsTest, DeletesTheLastComponentKeepingTheSlash)
{
    EXPECT_EQ(urlStringByDeletingLastPathComponent(QStringLiteral("http://a.com/m/1.html")),
              QStringLiteral("http://a.com/m/"));
    EXPECT_EQ(urlStringByDeletingLastPathComponent(QStringLiteral("http://a.com/m/")),
              QStringLiteral("http://a.com/m/"));
    EXPECT_EQ(urlStringByDeletingLastPathComponent(QStringLiteral("page")), QString());
}
