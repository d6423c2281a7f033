#include "sites/NavBooksCache.h"

#include <memory>

#include <plist/plist.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

#include "files/MyDirectories.h"
#include "files/PlistReader.h"
#include "web/Regex.h"

namespace {

struct PlistFree {
    void operator()(void *node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

// A cache larger than this is not a list this program wrote.
constexpr qint64 kMaximumFileSize = 64ll * 1024 * 1024;

QString stringItem(plist_t dict, const char *key)
{
    plist_t node = plist_dict_get_item(dict, key);
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return {};
    uint64_t length = 0;
    const char *text = plist_get_string_ptr(node, &length);
    if (!text)
        return {};
    // A stored empty string stays a value, unlike a field that was left out.
    const QString value = QString::fromUtf8(text, qsizetype(length));
    return value.isNull() ? QStringLiteral("") : value;
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
    QList<NavBook> list;
    QFile file(filePath(rootTitle, directoryURLString));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaximumFileSize)
        return list;
    const QByteArray data = file.readAll();
    if (data.isEmpty())
        return list;
    plist_t root = PlistReader::read(data);
    PlistPtr owner(root);
    if (!root || plist_get_node_type(root) != PLIST_DICT)
        return list;
    plist_t array = plist_dict_get_item(root, "books");
    if (!array || plist_get_node_type(array) != PLIST_ARRAY)
        return list;
    const uint32_t count = plist_array_get_size(array);
    list.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        plist_t item = plist_array_get_item(array, i);
        if (!item || plist_get_node_type(item) != PLIST_DICT)
            continue;
        QVariantMap fields;
        for (const char *key : {"title", "urlString", "rank"}) {
            const QString value = stringItem(item, key);
            if (!value.isNull())
                fields.insert(QString::fromLatin1(key), value);
        }
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
    PlistPtr root(plist_new_dict());
    plist_t array = plist_new_array();
    for (const NavBook &book : books) {
        plist_t item = plist_new_dict();
        const QVariantMap fields = book.archive();
        for (auto it = fields.begin(); it != fields.end(); ++it)
            plist_dict_set_item(item, it.key().toUtf8().constData(),
                                plist_new_string(it.value().toString().toUtf8().constData()));
        plist_array_append_item(array, item);
    }
    plist_dict_set_item(static_cast<plist_t>(root.get()), "books", array);

    char *bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(static_cast<plist_t>(root.get()), &bin, &length);
    if (!bin)
        return false;
    const QByteArray data(bin, qsizetype(length));
    plist_to_bin_free(bin);

    const QString path = filePath(rootTitle, directoryURLString);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return false;
    return file.commit();
}
