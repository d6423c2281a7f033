#include "files/PlistArrayFile.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <plist/plist.h>

#include <QFile>

#include "files/PlistReader.h"

namespace {

struct PlistFree {
    void operator()(void *node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

// A list larger than this is not one this program wrote.
constexpr qint64 kMaximumFileSize = 16ll * 1024 * 1024;

QString stringOf(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return {};
    uint64_t length = 0;
    const char *text = plist_get_string_ptr(node, &length);
    return text ? QString::fromUtf8(text, qsizetype(length)) : QString();
}

PlistPtr readArray(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaximumFileSize)
        return nullptr;
    const QByteArray data = file.readAll();
    if (data.isEmpty())
        return nullptr;
    plist_t root = PlistReader::read(data);
    PlistPtr owner(root);
    if (!root || plist_get_node_type(root) != PLIST_ARRAY)
        return nullptr;
    return owner;
}

bool writeArray(const QString &path, plist_t array)
{
    PlistPtr owner(array);
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(array, &xml, &length);
    if (!xml)
        return false;
    const QByteArray data(xml, qsizetype(length));
    plist_to_xml_free(xml);
    // Written beside and renamed over the old file: a process that dies
    // half-way leaves the old list. No sync to disk: these lists guard
    // against a killed process, and syncing on every change would make each
    // saved download wait for the disk.
    const QString temporary = path + QStringLiteral(".new");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size()) {
        file.remove();
        return false;
    }
    file.close();
    return std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) == 0;
}

} // namespace

namespace PlistArrayFile {

QStringList readStrings(const QString &path)
{
    QStringList strings;
    PlistPtr root = readArray(path);
    if (!root)
        return strings;
    const uint32_t count = plist_array_get_size(root.get());
    for (uint32_t i = 0; i < count; ++i) {
        const QString text = stringOf(plist_array_get_item(root.get(), i));
        if (!text.isEmpty())
            strings << text;
    }
    return strings;
}

bool writeStrings(const QString &path, const QStringList &strings)
{
    plist_t array = plist_new_array();
    for (const QString &text : strings)
        plist_array_append_item(array, plist_new_string(text.toUtf8().constData()));
    return writeArray(path, array);
}

QList<QMap<QString, QString>> readDictionaries(const QString &path)
{
    QList<QMap<QString, QString>> dictionaries;
    PlistPtr root = readArray(path);
    if (!root)
        return dictionaries;
    const uint32_t count = plist_array_get_size(root.get());
    for (uint32_t i = 0; i < count; ++i) {
        plist_t item = plist_array_get_item(root.get(), i);
        if (!item || plist_get_node_type(item) != PLIST_DICT)
            continue;
        QMap<QString, QString> dictionary;
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(item, &iter);
        for (;;) {
            char *key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(item, iter, &key, &value);
            if (!key)
                break;
            dictionary.insert(QString::fromUtf8(key), stringOf(value));
            std::free(key);
        }
        std::free(iter);
        dictionaries << dictionary;
    }
    return dictionaries;
}

bool writeDictionaries(const QString &path, const QList<QMap<QString, QString>> &dictionaries)
{
    plist_t array = plist_new_array();
    for (const auto &dictionary : dictionaries) {
        plist_t item = plist_new_dict();
        for (auto it = dictionary.begin(); it != dictionary.end(); ++it)
            plist_dict_set_item(item, it.key().toUtf8().constData(),
                                plist_new_string(it.value().toUtf8().constData()));
        plist_array_append_item(array, item);
    }
    return writeArray(path, array);
}

} // namespace PlistArrayFile
