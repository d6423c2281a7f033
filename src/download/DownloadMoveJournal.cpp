#include "download/DownloadMoveJournal.h"

#include <cstdio>
#include <mutex>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "files/MyDirectories.h"
#include "files/PlistArrayFile.h"
#include "store/Chapter.h"
#include "store/Download.h"
#include "store/ManagedObjectContext.h"

namespace {

std::mutex journalMutex;

const QString SourceKey = QStringLiteral("source");
const QString DestinationKey = QStringLiteral("destination");
const QString DownloadKey = QStringLiteral("download");
const QString ChapterKey = QStringLiteral("chapter");

bool isStored(ManagedObjectContext &context, const QString &entity, const QString &uuid)
{
    if (uuid.isEmpty())
        return false;
    const FetchRequest request(entity, Predicate::predicateWithFormat(QStringLiteral("uuid == %@"), {uuid}));
    std::optional<Error> error;
    const auto found = context.executeFetchRequest(request, &error);
    // When the store cannot answer, keep the files where they are.
    return error || !found.empty();
}

// Moves the plain files of `from` into `to` unless `to` has one of that name.
void moveFiles(const QString &from, const QString &to)
{
    if (!QFileInfo(from).isDir() || !QDir().mkpath(to))
        return;
    for (const QString &name : QDir(from).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString target = to + u'/' + name;
        if (!QFileInfo::exists(target))
            std::rename(QFile::encodeName(from + u'/' + name).constData(),
                        QFile::encodeName(target).constData());
    }
}

bool inImagesDirectory(const QString &path)
{
    const QString images = MyDirectories::sharedMyDirectories().imagesDirectory() + u'/';
    return path.startsWith(images) && !path.contains(QStringLiteral("/../"));
}

} // namespace

QString DownloadMoveJournal::journalFilename()
{
    return MyDirectories::sharedMyDirectories().applicationDocumentDirectory() +
           QStringLiteral("/moveJournal");
}

void DownloadMoveJournal::add(const QString &source, const QString &destination, const QString &downloadUuid,
                              const QString &chapterUuid)
{
    std::lock_guard lock(journalMutex);
    auto entries = PlistArrayFile::readDictionaries(journalFilename());
    entries.append({{SourceKey, source},
                    {DestinationKey, destination},
                    {DownloadKey, downloadUuid},
                    {ChapterKey, chapterUuid}});
    PlistArrayFile::writeDictionaries(journalFilename(), entries);
}

void DownloadMoveJournal::remove(const QStringList &downloadUuids)
{
    std::lock_guard lock(journalMutex);
    auto entries = PlistArrayFile::readDictionaries(journalFilename());
    const qsizetype before = entries.size();
    entries.removeIf([&](const QMap<QString, QString> &entry) {
        return downloadUuids.contains(entry.value(DownloadKey));
    });
    if (entries.size() != before)
        PlistArrayFile::writeDictionaries(journalFilename(), entries);
}

int DownloadMoveJournal::count()
{
    std::lock_guard lock(journalMutex);
    return int(PlistArrayFile::readDictionaries(journalFilename()).size());
}

void DownloadMoveJournal::recover(ManagedObjectContext &context)
{
    std::lock_guard lock(journalMutex);
    const auto entries = PlistArrayFile::readDictionaries(journalFilename());
    if (entries.isEmpty())
        return;
    for (const auto &entry : entries) {
        const QString source = entry.value(SourceKey);
        const QString destination = entry.value(DestinationKey);
        // The journal names folders of the images tree and nothing else.
        if (!inImagesDirectory(source) || !inImagesDirectory(destination))
            continue;
        const bool chapterStored = isStored(context, Chapter::entityName(), entry.value(ChapterKey));
        const bool downloadStored = isStored(context, Download::entityName(), entry.value(DownloadKey));
        if (chapterStored) {
            moveFiles(source, destination);
            if (!downloadStored)
                QDir(source).removeRecursively();
        } else if (downloadStored) {
            moveFiles(destination, source);
            QDir(destination).removeRecursively();
        } else {
            QDir(destination).removeRecursively();
            QDir(source).removeRecursively();
        }
    }
    PlistArrayFile::writeDictionaries(journalFilename(), {});
}
