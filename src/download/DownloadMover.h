#pragma once

#include <memory>

#include <QString>

class Chapter;
class Download;
class ManagedObjectContext;

// Saves one finished download into the library: its record becomes a chapter
// of the matching book (created when missing) and its image files move into
// that chapter's folder. The download's record is deleted; the caller saves
// the context, and afterwards calls didSave() with the download's uuid so
// that the crash journal forgets the move (a move the caller never saves is
// undone at the next start).
//
// Thread contract: the thread of the given context (the main thread with the
// shared context, or a background operation with its own context).
class DownloadMover
{
public:
    // The new chapter (unsaved), or null when the download was refused: its
    // folder is missing or holds sub-folders ("Download not a directory?  Not
    // moving files", "Download has subdirectories? Not moving files"), the
    // books could not be fetched, or a file could not be moved (after the
    // file alert). A refused download is left as it was, its files included,
    // and the context holds nothing of the chapter.
    // `showWarning` is accepted for the callers' sake; the refusals always
    // show their alerts. With `setLastChapterRead` the book's last chapter
    // read becomes this chapter (its number × 10).
    static std::shared_ptr<Chapter> save(const std::shared_ptr<Download> &download,
                                         ManagedObjectContext &context, bool showWarning = true,
                                         bool setLastChapterRead = false);
    // After the context holding the saves has been stored.
    static void didSave(const QStringList &downloadUuids);

    static bool isDirectory(const QString &path);
    static bool containsSubdirectories(const QString &path);

    // At start-up, before the library's files are touched: settles the moves
    // that a crash interrupted.
    static void recoverInterruptedMoves(ManagedObjectContext &context);

private:
    // True when every file is in the chapter's folder; otherwise the files
    // are back in the download's.
    static bool moveFiles(const Download &download, const Chapter &chapter);
    static bool renameFolder(const QString &source, const QString &destination);
};
