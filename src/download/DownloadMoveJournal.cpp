#include "download/DownloadMoveJournal.h"

#include <cstdio>
#include <mutex>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

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

using Entry = QMap<QString, QString>;

// One entry a line, so that recording a move is a single append instead of
// rewriting the whole list before every saved download. A line cut short by
// a crash is dropped: it was being written before its files moved.
// A journal left by an earlier build is a property list; it is read all the
// same.
QList<Entry> readEntries()
{
    const QString path = DownloadMoveJournal::journalFilename();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    if (data.trimmed().startsWith('<'))
        return PlistArrayFile::readDictionaries(path);
    QList<Entry> entries;
    for (const QByteArray &line : data.split('\n')) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        if (object.isEmpty())
            continue;
        Entry entry;
        for (auto it = object.begin(); it != object.end(); ++it)
            entry.insert(it.key(), it.value().toString());
        entries.append(entry);
    }
    return entries;
}

QByteArray entryLine(const Entry &entry)
{
    QJsonObject object;
    for (auto it = entry.begin(); it != entry.end(); ++it)
        object.insert(it.key(), it.value());
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

// Replaced in one step, so that a crash leaves the old list or the new one.
void writeEntries(const QList<Entry> &entries)
{
    const QString path = DownloadMoveJournal::journalFilename();
    if (entries.isEmpty()) {
        QFile::remove(path);
        return;
    }
    QByteArray data;
    for (const Entry &entry : entries)
        data += entryLine(entry);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size())
        file.commit();
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
    const QByteArray line = entryLine({{SourceKey, source},
                                       {DestinationKey, destination},
                                       {DownloadKey, downloadUuid},
                                       {ChapterKey, chapterUuid}});
    std::lock_guard lock(journalMutex);
    QFile file(journalFilename());
    // Led by a line break, so that a line left cut short never swallows it.
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write('\n' + line);
}

void DownloadMoveJournal::remove(const QStringList &downloadUuids)
{
    std::lock_guard lock(journalMutex);
    auto entries = readEntries();
    const qsizetype before = entries.size();
    entries.removeIf([&](const Entry &entry) { return downloadUuids.contains(entry.value(DownloadKey)); });
    if (entries.size() != before)
        writeEntries(entries);
}

int DownloadMoveJournal::count()
{
    std::lock_guard lock(journalMutex);
    return int(readEntries().size());
}

void DownloadMoveJournal::recover(ManagedObjectContext &context)
{
    std::lock_guard lock(journalMutex);
    const auto entries = readEntries();
    if (entries.isEmpty()) {
        QFile::remove(journalFilename());
        return;
    }
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
    writeEntries({});
}
