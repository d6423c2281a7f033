#pragma once

#include <QString>

class ManagedObjectContext;

// Saving a download moves its files before the store learns of the move, so
// a crash in between would leave records pointing at files that are gone.
// Each move is written here first (source and destination folders, the
// download and the chapter it becomes); at the next start every entry is
// settled by what the store holds: a saved chapter gets the rest of the
// files, a download still stored gets its files back, and files that
// nothing owns any more go.
// Thread contract: any thread; the file is guarded by one lock. recover()
// runs on the main thread with the shared context before anything else
// touches the library's files.
class DownloadMoveJournal
{
public:
    static QString journalFilename();

    static void add(const QString &source, const QString &destination, const QString &downloadUuid,
                    const QString &chapterUuid);
    // Drops the entries of downloads whose save has been stored.
    static void remove(const QStringList &downloadUuids);
    static int count();

    // Settles every entry against the saved store and empties the journal.
    static void recover(ManagedObjectContext &context);
};
