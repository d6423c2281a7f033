#include "sites/NavBooksCache.h"

#include <array>
#include <mutex>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>

#include "files/BinaryPlistWriter.h"
#include "files/MyDirectories.h"
#include "files/PropertyList.h"
#include "foundation/Regex.h"

namespace {

// A cache larger than this is not a list this program wrote.
constexpr qint64 kMaximumFileSize = 64ll * 1024 * 1024;

// What tells one version of a file from another without reading it: a
// rewrite renames a new file into place, an edit changes its size or time.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};

    bool operator==(const FileStamp &other) const
    {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
    }
};

std::optional<FileStamp> stampOf(const QString &path)
{
    struct stat info {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return FileStamp{info.st_dev, info.st_ino, info.st_size, info.st_mtim};
}

// What this program knows of the cache files beyond the files themselves.
// `announced`: lists whose files are still to be written, handed to every
// reader meanwhile. `last...`: the list written last and not read yet, handed
// to its first reader while its file is still as written, since reading
// fifteen thousand books back costs more than parsing their page did. Later
// readers read the file, so no list is kept for the program's life.
struct Known {
    struct Announcement {
        quint64 generation = 0;
        QDateTime date;
        QList<NavBook> books;
        bool read = false;
    };
    // Held only for a look-up or an update, never across a file's I/O.
    std::mutex mutex;
    quint64 generations = 0;
    QHash<QString, Announcement> announced;
    QString lastPath;
    FileStamp lastStamp;
    QList<NavBook> lastBooks;
    // Serialises the writing of files; taken before `mutex`, never after.
    std::mutex writing;
};

Known &known()
{
    static Known state;
    return state;
}

// Streams the list into the file without making it whole in memory.
bool writeBinaryList(QIODevice &file, const QList<NavBook> &books)
{
    BinaryPlistWriter writer;
    writer.streamTo(
        [&file](QByteArrayView bytes) { return file.write(bytes.data(), bytes.size()) == bytes.size(); });
    // The keys are written once and shared by every book.
    const std::array<BinaryPlistWriter::Ref, 3> names{
        writer.addString(u"title"), writer.addString(u"urlString"), writer.addString(u"rank")};
    // Each book: a dictionary and three texts.
    writer.reserve(0, 4 * books.size() + 8);
    std::vector<BinaryPlistWriter::Ref> items;
    items.reserve(size_t(books.size()));
    for (const NavBook &book : books) {
        // A null field is left out, as the book's archive leaves it out.
        std::array<BinaryPlistWriter::Ref, 3> keys{};
        std::array<BinaryPlistWriter::Ref, 3> values{};
        size_t count = 0;
        const std::array<const QString *, 3> fields{&book.title(), &book.urlString(), &book.rank()};
        for (size_t f = 0; f < fields.size(); ++f) {
            if (!fields[f]->isNull()) {
                keys[count] = names[f];
                values[count++] = writer.addString(*fields[f]);
            }
        }
        items.push_back(writer.addDictionary(std::span(keys.data(), count), std::span(values.data(), count)));
    }
    const BinaryPlistWriter::Ref array = writer.addArray(items);
    const BinaryPlistWriter::Ref booksKey = writer.addString(u"books");
    writer.finish(writer.addDictionary(std::span(&booksKey, 1), std::span(&array, 1)));
    return writer.ok();
}

bool setModified(const QString &path, const QDateTime &date)
{
    const qint64 ms = date.toMSecsSinceEpoch();
    const timespec times[2] = {{0, UTIME_OMIT}, {time_t(ms / 1000), long(ms % 1000) * 1000000}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

QString wordsOnly(const QString &text)
{
    return stringByReplacingOccurrencesOfRegex(text, QStringLiteral("\\W"), QStringLiteral("_"));
}

} // namespace

QString NavBooksCache::prefix()
{
    return QStringLiteral("books");
}

QString NavBooksCache::fileName(const QString &rootTitle, const QString &directoryURLString)
{
    return prefix() + u'_' + wordsOnly(rootTitle) + u'_' + wordsOnly(directoryURLString);
}

QString NavBooksCache::filePath(const QString &rootTitle, const QString &directoryURLString)
{
    return QDir(MyDirectories::sharedMyDirectories().cacheDirectory())
        .filePath(fileName(rootTitle, directoryURLString));
}

bool NavBooksCache::exists(const QString &rootTitle, const QString &directoryURLString)
{
    const QString path = filePath(rootTitle, directoryURLString);
    {
        Known &state = known();
        std::lock_guard lock(state.mutex);
        if (state.announced.contains(path))
            return true;
    }
    return QFileInfo(path).isFile();
}

QList<NavBook> NavBooksCache::books(const QString &rootTitle, const QString &directoryURLString)
{
    const QString path = filePath(rootTitle, directoryURLString);
    const std::optional<FileStamp> stamp = stampOf(path);
    {
        Known &state = known();
        std::lock_guard lock(state.mutex);
        if (const auto it = state.announced.find(path); it != state.announced.end()) {
            it->read = true;
            return it->books;
        }
        if (stamp && state.lastPath == path && state.lastStamp == *stamp) {
            state.lastPath.clear();
            return std::exchange(state.lastBooks, {});
        }
    }
    QList<NavBook> list;
    const std::optional<QVariant> root = PropertyList::readFile(path, kMaximumFileSize);
    if (!root || root->typeId() != QMetaType::QVariantMap)
        return list;
    const QVariant array = root->toMap().value(QStringLiteral("books"));
    if (array.typeId() != QMetaType::QVariantList)
        return list;
    const QVariantList items = array.toList();
    list.reserve(items.size());
    for (const QVariant &item : items) {
        if (item.typeId() != QMetaType::QVariantMap)
            continue;
        // Only texts are fields; anything else reads as left out.
        QVariantMap fields = item.toMap();
        fields.removeIf([](const auto &field) { return field.value().typeId() != QMetaType::QString; });
        list.append(NavBook::unarchive(fields));
    }
    return list;
}

QString NavBooksCache::dateString(const QString &rootTitle, const QString &directoryURLString)
{
    const QString path = filePath(rootTitle, directoryURLString);
    QDateTime date;
    {
        Known &state = known();
        std::lock_guard lock(state.mutex);
        if (const auto it = state.announced.constFind(path); it != state.announced.cend())
            date = it->date;
    }
    if (!date.isValid()) {
        const QFileInfo info(path);
        if (!info.isFile())
            return {};
        date = info.lastModified();
    }
    return QLocale().toString(date, QLocale::ShortFormat);
}

bool NavBooksCache::write(const QList<NavBook> &books, const QString &rootTitle,
                          const QString &directoryURLString)
{
    return write(announce(books, rootTitle, directoryURLString));
}

NavBooksCache::Announced NavBooksCache::announce(const QList<NavBook> &books, const QString &rootTitle,
                                                 const QString &directoryURLString)
{
    Announced list{filePath(rootTitle, directoryURLString), 0, books};
    Known &state = known();
    std::lock_guard lock(state.mutex);
    list.generation = ++state.generations;
    state.announced.insert(list.path, {list.generation, QDateTime::currentDateTime(), books, false});
    if (state.lastPath == list.path) {
        state.lastPath.clear();
        state.lastBooks.clear();
    }
    return list;
}

bool NavBooksCache::write(const Announced &list)
{
    Known &state = known();
    std::lock_guard writing(state.writing);
    QDateTime date;
    {
        std::lock_guard lock(state.mutex);
        const auto it = state.announced.constFind(list.path);
        // A later list for this file is written by its own announcer.
        if (it == state.announced.cend() || it->generation != list.generation)
            return true;
        date = it->date;
    }
    QDir().mkpath(QFileInfo(list.path).absolutePath());
    // Not synced to the disk: a cache lost in a power cut is fetched again.
    const bool written =
        PropertyList::writeFile(list.path, PropertyList::Durability::Renamed,
                                [&list](QIODevice &file) { return writeBinaryList(file, list.books); });
    const std::optional<FileStamp> stamp =
        written && setModified(list.path, date) ? stampOf(list.path) : std::nullopt;

    std::lock_guard lock(state.mutex);
    const auto it = state.announced.find(list.path);
    if (it == state.announced.end() || it->generation != list.generation)
        return written; // announced again meanwhile: the newer list stands
    const bool read = it->read;
    state.announced.erase(it);
    // A list already read while it was written is not kept a second time.
    if (stamp && !read) {
        state.lastPath = list.path;
        state.lastStamp = *stamp;
        state.lastBooks = list.books;
    }
    return written;
}
