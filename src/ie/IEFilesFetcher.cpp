#include "ie/IEFilesFetcher.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <dirent.h>

#include <QFile>
#include <QFileInfo>

#include "foundation/Localized.h"

namespace {

const QString errorDomain = QStringLiteral("FilesFetcherDomain");

bool isBookkeeping(const QString &name)
{
    return name == u"CoreData.sqlite" || name == u"toRemovePaths";
}

} // namespace

bool IEFilesFetcher::fetch(const QString &path, OptionalError *error)
{
    files_.clear();
    // QDir answers an unreadable folder with an empty list; the user must
    // learn why the list is empty.
    DIR *directory = ::opendir(QFile::encodeName(path).constData());
    if (!directory) {
        const int code = errno;
        if (error)
            *error = Error{errorDomain, code, QString::fromLocal8Bit(std::strerror(code))};
        return false;
    }
    QStringList names;
    while (const dirent *entry = ::readdir(directory)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != u"." && name != u"..")
            names << name;
    }
    ::closedir(directory);
    std::sort(names.begin(), names.end());
    for (const QString &name : names) {
        const QString full = path + u'/' + name;
        const QFileInfo info(full);
        if (info.exists() && !info.isDir() && !isBookkeeping(name))
            files_ << full;
    }
    return true;
}

void IEFilesFetcher::removeFileAt(int index)
{
    if (index >= 0 && index < files_.size())
        files_.removeAt(index);
}
