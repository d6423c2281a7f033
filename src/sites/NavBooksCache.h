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
// Thread contract: any thread; writers are serialised (the last one wins).
class NavBooksCache
{
public:
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
    static bool write(const QList<NavBook> &books, const QString &rootTitle,
                      const QString &directoryURLString);
};
