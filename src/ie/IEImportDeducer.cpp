#include "ie/IEImportDeducer.h"

#include <QDir>
#include <QFileInfo>

#include "foundation/Localized.h"

namespace {

QStringList listing(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                QDir::Name);
}

} // namespace

bool IEImportDeducer::fail(const QString &message, OptionalError *error)
{
    if (QFileInfo(unzippedPath_).isDir())
        QDir(unzippedPath_).removeRecursively();
    if (error)
        *error = Error{ErrorDomain, 1, message};
    return false;
}

bool IEImportDeducer::readUnzippedPath(const QString &path, OptionalError *error)
{
    chapters_.clear();
    unzippedPath_ = path;
    const QString folderName = QFileInfo(path).fileName();
    const QStringList entries = listing(path);
    if (entries.isEmpty())
        return fail(
            withArguments(
                localized("Cannot find the unzipped file %@.\nTry unzipping and rezipping the folder."),
                {folderName}),
            error);

    QList<IEImportChapter> chapters;
    QStringList files;
    bool sawFolder = false;
    for (const QString &name : entries) {
        if (name.startsWith(u'.'))
            continue;
        const QString entry = path + u'/' + name;
        const QFileInfo info(entry);
        if (!info.exists())
            return fail(withArguments(localized("Cannot find the unzipped file %@."), {folderName}), error);
        sawFolder = sawFolder || info.isDir();
        if (sawFolder && (!files.isEmpty() || !info.isDir()))
            return fail(localized("Cannot have a file and directory in the same path."), error);
        if (info.isDir()) {
            if (!readSubDirectory(entry, chapters, error))
                return false;
        } else {
            files << entry;
        }
    }
    if (!files.isEmpty())
        chapters.append(IEImportChapter{folderName, files, Decimal::notANumber(), QString()});
    chapters_ = chapters;
    return true;
}

bool IEImportDeducer::readSubDirectory(const QString &path, QList<IEImportChapter> &chapters,
                                       OptionalError *error)
{
    const QString name = QFileInfo(path).fileName();
    const QStringList entries = listing(path);
    if (entries.isEmpty())
        return fail(withArguments(localized("Cannot find files in %@."), {name}), error);
    QStringList files;
    for (const QString &entryName : entries) {
        const QString entry = path + u'/' + entryName;
        const QFileInfo info(entry);
        if (!info.exists())
            return fail(localized("Cannot find an unzipped file?"), error);
        if (info.isDir())
            return fail(localized("Zip file must be at most 2 levels deep."), error);
        files << entry;
    }
    chapters.append(IEImportChapter{name, files, Decimal::notANumber(), QString()});
    return true;
}
