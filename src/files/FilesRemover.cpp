#include "files/FilesRemover.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <dirent.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "foundation/Localized.h"
#include "foundation/Regex.h"

namespace {

const QString errorDomain = QStringLiteral("FilesRemover");

QString systemReason(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// The names in the directory, sorted; nullopt with *error set when it
// cannot be listed whole (QDir would answer an empty list instead).
std::optional<QStringList> listDirectory(const QString &path, OptionalError *error)
{
    DIR *directory = ::opendir(QFile::encodeName(path).constData());
    if (!directory) {
        const int code = errno;
        *error = Error{errorDomain, 1,
                       code == ENOENT
                           ? localized("The folder %1 doesn't exist.").arg(path)
                           : localized("The folder %1 cannot be read: %2").arg(path, systemReason(code))};
        return std::nullopt;
    }
    QStringList names;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(directory);
        if (!entry)
            break;
        const QString name = QFile::decodeName(entry->d_name);
        if (name != u"." && name != u"..")
            names << name;
    }
    const int code = errno;
    ::closedir(directory);
    if (code != 0) {
        *error = Error{errorDomain, 1,
                       localized("The folder %1 cannot be read: %2").arg(path, systemReason(code))};
        return std::nullopt;
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A directory goes with everything in it; whatever of it is left after a
// failure counts as a failed removal.
bool removeEntry(const QFileInfo &entry)
{
    if (entry.isSymLink() || !entry.isDir())
        return QFile::remove(entry.absoluteFilePath());
    return QDir(entry.absoluteFilePath()).removeRecursively() && !QFileInfo::exists(entry.absoluteFilePath());
}

} // namespace

OptionalError FilesRemover::removeFilesAtPath(const QString &path, const QString &regex,
                                              bool includeDirectories)
{
    if (!regex.isEmpty()) {
        // A pattern that does not compile must not be guessed at: removing
        // nothing is the only safe reading.
        try {
            isMatchedByRegex(QString(), regex);
        } catch (const std::invalid_argument &) {
            return Error{errorDomain, 2, localized("Invalid file name pattern %1").arg(regex)};
        }
    }

    OptionalError listingError;
    const std::optional<QStringList> names = listDirectory(path, &listingError);
    if (!names)
        return listingError;
    const QDir directory(path);
    for (const QString &name : *names) {
        const QFileInfo entry(directory.filePath(name));
        if (!regex.isEmpty() && !isMatchedByRegex(entry.fileName(), regex))
            continue;
        // A dangling link does not count as existing, as for any other lookup
        // that follows links.
        if (!entry.exists())
            continue;
        if (entry.isDir() && !includeDirectories)
            continue;
        if (!removeEntry(entry))
            return Error{errorDomain, 3, localized("Could not remove %1").arg(entry.absoluteFilePath())};
    }
    return std::nullopt;
}
