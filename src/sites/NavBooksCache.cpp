#include "sites/NavBooksCache.h"

#include <array>
#include <mutex>
#include <vector>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// The list last written, handed to the next reader of that list while its
// file is still as written: a fetched list is shown as soon as it is saved,
// and reading fifteen thousand books back would cost more than parsing the
// page did. Later readers read the file, so the list is not kept for the
// program's life.
struct LastWritten {
    std::mutex mutex;
    QString path;
    FileStamp stamp;
    QList<NavBook> books;
};

LastWritten &lastWritten()
{
    static LastWritten last;
    return last;
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

// Writers hold the lock until the list is remembered, so that the stamp
// taken is of the file this writer renamed into place.
bool writeAndRemember(const QString &path, const QList<NavBook> &books)
{
    LastWritten &last = lastWritten();
    std::lock_guard lock(last.mutex);
    last.path.clear();
    last.books.clear();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!PropertyList::writeFile(path, PropertyList::Durability::Renamed,
                                 [&books](QIODevice &file) { return writeBinaryList(file, books); }))
        return false;
    if (const std::optional<FileStamp> stamp = stampOf(path)) {
        last.path = path;
        last.stamp = *stamp;
        last.books = books;
    }
    return true;
}

std::optional<QList<NavBook>> takeLastWritten(const QString &path)
{
    const std::optional<FileStamp> stamp = stampOf(path);
    LastWritten &last = lastWritten();
    std::lock_guard lock(last.mutex);
    if (!stamp || last.path != path || !(last.stamp == *stamp))
        return std::nullopt;
    last.path.clear();
    return std::exchange(last.books, {});
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
    return QFileInfo(filePath(rootTitle, directoryURLString)).isFile();
}

QList<NavBook> NavBooksCache::books(const QString &rootTitle, const QString &directoryURLString)
{
    const QString path = filePath(rootTitle, directoryURLString);
    if (std::optional<QList<NavBook>> books = takeLastWritten(path))
        return *books;
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
    const QFileInfo info(filePath(rootTitle, directoryURLString));
    if (!info.isFile())
        return {};
    return QLocale().toString(info.lastModified(), QLocale::ShortFormat);
}

bool NavBooksCache::write(const QList<NavBook> &books, const QString &rootTitle,
                          const QString &directoryURLString)
{
    // Not synced to the disk: a cache lost in a power cut is fetched again.
    return writeAndRemember(filePath(rootTitle, directoryURLString), books);
}
