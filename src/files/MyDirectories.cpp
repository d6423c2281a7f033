#include "files/MyDirectories.h"

#include <mutex>

#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>

#include "foundation/Device.h"

namespace {

std::mutex rootMutex;
QString configuredRoot;

QString joined(const QString &base, const QString &component)
{
    if (base.endsWith(u'/'))
        return base + component;
    return base + u'/' + component;
}

QString defaultRoot()
{
    const QString yomoraRoot = qEnvironmentVariable("YOMORA_ROOT");
    if (!yomoraRoot.isEmpty())
        return yomoraRoot;
    const QString xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdgDataHome.isEmpty())
        return xdgDataHome;
    return joined(QDir::homePath(), QStringLiteral(".local/share"));
}

} // namespace

bool IsIOS5()
{
    return Device::systemVersion() >= 5.0;
}

MyDirectories &MyDirectories::sharedMyDirectories()
{
    static MyDirectories shared;
    return shared;
}

void MyDirectories::setRootDirectory(const QString &root)
{
    std::lock_guard lock(rootMutex);
    configuredRoot = root;
}

QString MyDirectories::rootDirectory()
{
    {
        std::lock_guard lock(rootMutex);
        if (!configuredRoot.isEmpty())
            return configuredRoot;
    }
    return defaultRoot();
}

QString MyDirectories::homeDirectory() const
{
    return joined(rootDirectory(), QStringLiteral("YomoraC"));
}

QString MyDirectories::preferencesDirectory() const
{
    return homeDirectory() + QStringLiteral("/Library/Preferences");
}

QString MyDirectories::libraryDirectory() const
{
    return joined(homeDirectory(), libraryBaseName());
}

QString MyDirectories::appleCachesDirectory() const
{
    return joined(libraryDirectory(), QStringLiteral("Caches"));
}

QString MyDirectories::oldApplicationDirectory() const
{
    return joined(libraryDirectory(), QStringLiteral("AppData"));
}

QString MyDirectories::temporaryDirectory() const
{
    return homeDirectory() + QStringLiteral("/tmp");
}

QString MyDirectories::documentDirectory() const
{
    return homeDirectory() + QStringLiteral("/Documents");
}

QString MyDirectories::preIOS5ApplicationDirectory() const
{
    return joined(appleCachesDirectory(), QStringLiteral("AppData_1.9.10"));
}

QString MyDirectories::postIOS5ApplicationDirectory() const
{
    return joined(documentDirectory(), QStringLiteral("AppData_1.9.10"));
}

QString MyDirectories::newApplicationDirectory() const
{
    return IsIOS5() ? postIOS5ApplicationDirectory() : preIOS5ApplicationDirectory();
}

QString MyDirectories::cacheDirectory() const
{
    return joined(newApplicationDirectory(), cacheBaseName());
}

QString MyDirectories::imagesDirectory() const
{
    return joined(newApplicationDirectory(), imagesBaseName());
}

QString MyDirectories::imagesBaseName() const
{
    return QStringLiteral("images");
}

QString MyDirectories::cacheBaseName() const
{
    return QStringLiteral("cache");
}

QString MyDirectories::libraryBaseName() const
{
    return QStringLiteral("Library");
}

void MyDirectories::createDirectories() const
{
    const QString directories[] = {
        homeDirectory(),     libraryDirectory(), appleCachesDirectory(), newApplicationDirectory(),
        documentDirectory(), cacheDirectory(),   preferencesDirectory(), temporaryDirectory(),
    };
    for (const QString &directory : directories) {
        // Every directory made here gets 0755, the missing parents too (the
        // documents folder is first made as the data directory's parent);
        // the mode is set after mkdir so the umask cannot narrow it.
        QStringList missing;
        for (QString path = QDir::cleanPath(directory); !QFileInfo::exists(path);) {
            missing.prepend(path);
            const QString parent = QFileInfo(path).path();
            if (parent == path)
                break;
            path = parent;
        }
        for (const QString &path : std::as_const(missing)) {
            if (!QDir().mkdir(path))
                break;
            ::chmod(QFile::encodeName(path).constData(), 0755);
        }
    }
}
