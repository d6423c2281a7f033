#include "files/PropertyList.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <plist/plist.h>

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QTemporaryFile>

#include "files/BinaryPlistWriter.h"
#include "foundation/PlistReader.h"

namespace {

struct PlistFree {
    void operator()(void *node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

QVariant fromPlist(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return QVariant(value != 0);
    }
    case PLIST_UINT: {
        // Integers travel as their 64-bit pattern: negative rows (-1) come
        // back as written.
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return QVariant(qint64(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return QVariant(value);
    }
    case PLIST_STRING: {
        // A damaged file may hold a NUL inside a string, which the library's
        // copying getter asserts against; the text ends at the NUL, as it
        // would once written back. A stored empty text stays a value.
        uint64_t length = 0;
        const char *value = plist_get_string_ptr(node, &length);
        if (!value)
            return QVariant(QString());
        const QString text = QString::fromUtf8(value, qsizetype(qstrnlen(value, size_t(length))));
        return QVariant(text.isNull() ? QStringLiteral("") : text);
    }
    case PLIST_DATA: {
        char *value = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &value, &length);
        QByteArray bytes(value, qsizetype(length));
        std::free(value);
        return QVariant(bytes);
    }
    case PLIST_ARRAY: {
        QVariantList list;
        list.reserve(plist_array_get_size(node));
        // Walked with an iterator: the library finds an item by its index by
        // counting from the first, which made a list of fifteen thousand
        // books take seconds to read.
        plist_array_iter iter = nullptr;
        plist_array_new_iter(node, &iter);
        for (;;) {
            plist_t child = nullptr;
            plist_array_next_item(node, iter, &child);
            if (!child)
                break;
            QVariant item = fromPlist(child);
            if (item.isValid())
                list.append(std::move(item));
        }
        std::free(iter);
        return QVariant(list);
    }
    case PLIST_DICT: {
        QVariantMap map;
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(node, &iter);
        for (;;) {
            char *key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, iter, &key, &value);
            if (!key)
                break;
            QVariant item = value ? fromPlist(value) : QVariant();
            if (item.isValid())
                map.insert(QString::fromUtf8(key), std::move(item));
            std::free(key);
        }
        std::free(iter);
        return QVariant(map);
    }
    default:
        return QVariant();
    }
}

bool isInteger(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

// A property list has no text for NaN or infinity that every reader
// accepts; a plain zero keeps the file loadable.
double finite(const QVariant &value)
{
    const double number = value.toDouble();
    return std::isfinite(number) ? number : 0.0;
}

plist_t toPlist(const QVariant &value)
{
    if (isInteger(value))
        return plist_new_uint(uint64_t(value.toLongLong()));
    switch (value.typeId()) {
    case QMetaType::Bool:
        return plist_new_bool(value.toBool());
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(finite(value));
    case QMetaType::QString:
        return plist_new_string(value.toString().toUtf8().constData());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), uint64_t(bytes.size()));
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        plist_t array = plist_new_array();
        for (const QVariant &item : value.toList())
            if (plist_t node = toPlist(item))
                plist_array_append_item(array, node);
        return array;
    }
    case QMetaType::QVariantMap: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            if (plist_t node = toPlist(it.value()))
                plist_dict_set_item(dict, it.key().toUtf8().constData(), node);
        return dict;
    }
    default:
        return nullptr;
    }
}

// Writes values into a binary list; a key that repeats across dictionaries
// is written once.
class BinaryValues
{
public:
    std::optional<BinaryPlistWriter::Ref> add(const QVariant &value)
    {
        if (isInteger(value))
            return writer_.addInteger(value.toLongLong());
        switch (value.typeId()) {
        case QMetaType::Bool:
            return writer_.addBool(value.toBool());
        case QMetaType::Double:
        case QMetaType::Float:
            return writer_.addReal(finite(value));
        case QMetaType::QString:
            return writer_.addString(value.toString());
        case QMetaType::QByteArray:
            return writer_.addData(value.toByteArray());
        case QMetaType::QVariantList:
        case QMetaType::QStringList: {
            std::vector<BinaryPlistWriter::Ref> items;
            for (const QVariant &item : value.toList())
                if (const auto ref = add(item))
                    items.push_back(*ref);
            return writer_.addArray(items);
        }
        case QMetaType::QVariantMap: {
            std::vector<BinaryPlistWriter::Ref> keys;
            std::vector<BinaryPlistWriter::Ref> values;
            const QVariantMap map = value.toMap();
            for (auto it = map.cbegin(); it != map.cend(); ++it) {
                if (const auto ref = add(it.value())) {
                    keys.push_back(key(it.key()));
                    values.push_back(*ref);
                }
            }
            return writer_.addDictionary(keys, values);
        }
        default:
            return std::nullopt;
        }
    }

    QByteArray finish(BinaryPlistWriter::Ref top) { return writer_.finish(top); }

private:
    BinaryPlistWriter::Ref key(const QString &text)
    {
        if (const auto it = keys_.constFind(text); it != keys_.cend())
            return *it;
        const BinaryPlistWriter::Ref ref = writer_.addString(text);
        keys_.insert(text, ref);
        return ref;
    }

    BinaryPlistWriter writer_;
    QHash<QString, BinaryPlistWriter::Ref> keys_;
};

// Written beside the file under a name of its own, so that two writers of
// one file never write into the same temporary file, then renamed over it.
bool writeRenamed(const QString &path, const std::function<bool(QIODevice &)> &write)
{
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open() || !write(file) || !file.flush())
        return false;
    const QByteArray from = QFile::encodeName(file.fileName());
    file.close();
    if (std::rename(from.constData(), QFile::encodeName(path).constData()) != 0)
        return false;
    file.setAutoRemove(false);
    return true;
}

bool writeSynced(const QString &path, const std::function<bool(QIODevice &)> &write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!write(file)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

namespace PropertyList {

std::optional<QVariant> fromData(const QByteArray &data)
{
    PlistPtr root(PlistReader::read(data));
    if (!root)
        return std::nullopt;
    QVariant value = fromPlist(static_cast<plist_t>(root.get()));
    if (!value.isValid())
        return std::nullopt;
    return value;
}

std::optional<QByteArray> readBytes(const QString &path, qint64 maximumSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maximumSize)
        return std::nullopt;
    QByteArray data = file.readAll();
    if (data.isEmpty())
        return std::nullopt;
    return data;
}

std::optional<QVariant> readFile(const QString &path, qint64 maximumSize)
{
    const std::optional<QByteArray> data = readBytes(path, maximumSize);
    return data ? fromData(*data) : std::nullopt;
}

QByteArray toXml(const QVariant &value)
{
    PlistPtr root(toPlist(value));
    if (!root)
        return {};
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(static_cast<plist_t>(root.get()), &xml, &length);
    if (!xml)
        return {};
    QByteArray data(xml, qsizetype(length));
    plist_to_xml_free(xml);
    return data;
}

QByteArray toBinary(const QVariant &value)
{
    BinaryValues values;
    const auto top = values.add(value);
    return top ? values.finish(*top) : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &data, Durability durability)
{
    if (data.isEmpty())
        return false;
    return writeFile(path, durability, [&data](QIODevice &file) { return file.write(data) == data.size(); });
}

bool writeFile(const QString &path, Durability durability, const std::function<bool(QIODevice &)> &write)
{
    return durability == Durability::Synced ? writeSynced(path, write) : writeRenamed(path, write);
}

} // namespace PropertyList
