#include "files/FilesRemover.h"

#include <stdexcept>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "foundation/Localized.h"
#include "web/Regex.h"

namespace {

const QString errorDomain = QStringLiteral("FilesRemover");

bool removeEntry(const QFileInfo &entry)
{
    if (entry.isSymLink() || !entry.isDir())
        return QFile::remove(entry.absoluteFilePath());
    return QDir(entry.absoluteFilePath()).removeRecursively();
}

} // namespace

OptionalError FilesRemover::removeFilesAtPath(const QString &path, const QString &regex,
                                              bool includeDirectories)
{
    const QFileInfo directoryInfo(path);
    if (!directoryInfo.isDir())
        return Error{errorDomain, 1, localized("The folder %1 doesn't exist.").arg(path)};
    if (!regex.isEmpty()) {
        // A pattern that does not compile must not be guessed at: removing
        // nothing is the only safe reading.
        try {
            isMatchedByRegex(QString(), regex);
        } catch (const std::invalid_argument &) {
            return Error{errorDomain, 2, localized("Invalid file name pattern %1").arg(regex)};
        }
    }

    const QDir directory(path);
    const QFileInfoList entries = directory.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
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
