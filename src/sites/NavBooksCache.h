#pragma once

#include <optional>

#include <QList>
#include <QString>

#include "sites/NavBook.h"

// The on-disk copies of fetched book lists, one file per site key and
// directory path in the cache directory, so a list shows at once the next
// time it is opened. A file is a binary property list whose root holds the
// books under "books"; it is replaced atomically, so a reader never sees half
// a list. The list written last is also kept in memory while its file stays
// as written, so showing a list just fetched does not read it back.
//
// Writing fifteen thousand books takes longer than showing them, so a fetch
// may announce its list first and write it afterwards: from announce() on,
// every reader in this program gets the announced list, its date and its
// existence, and the file follows from write(announced) on whatever thread
// has the time. A list that is announced but never written (the program
// ended first) is only a cache lost.
// Thread contract: any thread; readers never wait for a file being written;
// writers are serialised, and of two lists announced for one file the later
// one ends up in it.
class NavBooksCache
{
public:
    // A list announced for its file and not written yet.
    struct Announced {
        QString path;
        quint64 generation = 0;
        QList<NavBook> books;
    };

    static QString prefix(); // "books"
    // "books_SITE_PATH" with every non-word character of SITE and PATH
    // turned into "_": paths that differ only in punctuation share a file.
    static QString fileName(const QString &rootTitle, const QString &directoryURLString);
    static QString filePath(const QString &rootTitle, const QString &directoryURLString);

    static bool exists(const QString &rootTitle, const QString &directoryURLString);
    // Empty when the file is missing or unreadable.
    static QList<NavBook> books(const QString &rootTitle, const QString &directoryURLString);
    // The file's modification time in the locale's short date and time
    // formats; null when there is no file.
    static QString dateString(const QString &rootTitle, const QString &directoryURLString);
    // Writes the list at once: announce() and write(announced) together.
    static bool write(const QList<NavBook> &books, const QString &rootTitle,
                      const QString &directoryURLString);
    static Announced announce(const QList<NavBook> &books, const QString &rootTitle,
                              const QString &directoryURLString);
    // Writes an announced list to its file, the announcement's time as the
    // file's time, so the list's date reads the same before and after. A list
    // announced later for the same file makes this one a no-op.
    static bool write(const Announced &list);
};
