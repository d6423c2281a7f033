#include "settings/MyUserDefaults.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>

#include <plist/plist.h>

#include <QFile>
#include <QSaveFile>

#include "files/PlistReader.h"

namespace {

// The file is never large; anything bigger is not a settings file.
constexpr qint64 maximumFileSize = 16 * 1024 * 1024;

struct PlistDeleter {
    void operator()(void *node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

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
        // would once written back.
        uint64_t length = 0;
        const char *value = plist_get_string_ptr(node, &length);
        return QVariant(value ? QString::fromUtf8(value, qsizetype(qstrnlen(value, size_t(length))))
                              : QString());
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
        const uint32_t size = plist_array_get_size(node);
        for (uint32_t i = 0; i < size; ++i) {
            QVariant item = fromPlist(plist_array_get_item(node, i));
            if (item.isValid())
                list.append(item);
        }
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
                map.insert(QString::fromUtf8(key), item);
            std::free(key);
        }
        std::free(iter);
        return QVariant(map);
    }
    default:
        // Dates and keyed-archive ids have no use in the settings.
        return QVariant();
    }
}

plist_t toPlist(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return plist_new_bool(value.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return plist_new_uint(uint64_t(value.toLongLong()));
    case QMetaType::Double:
    case QMetaType::Float: {
        // A property list has no text for NaN or infinity that every reader
        // accepts; store a plain zero rather than a file that will not load.
        const double number = value.toDouble();
        return plist_new_real(std::isfinite(number) ? number : 0.0);
    }
    case QMetaType::QString:
        return plist_new_string(value.toString().toUtf8().constData());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), uint64_t(bytes.size()));
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        plist_t array = plist_new_array();
        for (const QVariant &item : value.toList()) {
            if (plist_t node = toPlist(item))
                plist_array_append_item(array, node);
        }
        return array;
    }
    case QMetaType::QVariantMap: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            if (plist_t node = toPlist(it.value()))
                plist_dict_set_item(dict, it.key().toUtf8().constData(), node);
        }
        return dict;
    }
    default:
        return nullptr;
    }
}

// The dictionary in the file, or nothing when it cannot be read as one.
std::optional<QVariantMap> readDictionary(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maximumFileSize)
        return std::nullopt;
    const QByteArray data = file.readAll();
    if (data.isEmpty())
        return std::nullopt;
    plist_t root = PlistReader::read(data);
    PlistPtr owner(root);
    if (!root || plist_get_node_type(root) != PLIST_DICT)
        return std::nullopt;
    return fromPlist(root).toMap();
}

} // namespace

MyUserDefaults &MyUserDefaults::sharedMyUserDefaults()
{
    static MyUserDefaults shared;
    return shared;
}

void MyUserDefaults::setFilename(const QString &path)
{
    if (path == filename_)
        return;
    filename_ = path;
    readFromFile();
}

void MyUserDefaults::readFromFile()
{
    if (std::optional<QVariantMap> dict = readDictionary(filename_)) {
        dict_ = std::move(*dict);
        return;
    }
    dict_.clear();
    writeToFile();
}

bool MyUserDefaults::writeToFile() const
{
    if (filename_.isEmpty())
        return false;
    PlistPtr root(toPlist(QVariant(dict_)));
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(static_cast<plist_t>(root.get()), &xml, &length);
    if (!xml)
        return false;
    const QByteArray data(xml, qsizetype(length));
    plist_to_xml_free(xml);

    // Written beside the old file and renamed over it, so a crash leaves
    // either the old settings or the new ones, never half of either.
    QSaveFile file(filename_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QVariant MyUserDefaults::objectForKey(const QString &key) const
{
    auto it = dict_.constFind(key);
    if (it != dict_.cend())
        return it.value();
    return defaultsDict_.value(key);
}

bool MyUserDefaults::boolForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (!isNumber(value))
        return false;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        return value.toDouble() != 0.0;
    return value.toLongLong() != 0;
}

qint64 MyUserDefaults::integerForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (!isNumber(value))
        return 0;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        // Truncated toward zero; values out of range or NaN read 0 rather
        // than an undefined conversion.
        const double number = value.toDouble();
        if (!(std::fabs(number) < 9.2e18))
            return 0;
        return qint64(number);
    }
    return value.toLongLong();
}

double MyUserDefaults::floatForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (!isNumber(value))
        return 0.0;
    return value.toDouble();
}

QString MyUserDefaults::stringForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

QVariantList MyUserDefaults::arrayForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QVariantList ? value.toList() : QVariantList();
}

void MyUserDefaults::setObject(const QVariant &value, const QString &key)
{
    if (!value.isValid()) {
        dict_.remove(key);
        return;
    }
    // String lists are arrays to every reader of the file.
    if (value.typeId() == QMetaType::QStringList)
        dict_.insert(key, QVariant(value.toList()));
    else
        dict_.insert(key, value);
}

void MyUserDefaults::setBool(bool value, const QString &key)
{
    dict_.insert(key, QVariant(value));
}

void MyUserDefaults::setInteger(qint64 value, const QString &key)
{
    dict_.insert(key, QVariant(value));
}

void MyUserDefaults::setFloat(double value, const QString &key)
{
    dict_.insert(key, QVariant(value));
}

void MyUserDefaults::removeObjectForKey(const QString &key)
{
    dict_.remove(key);
}

void MyUserDefaults::registerDefaults(const QVariantMap &defaults)
{
    defaultsDict_ = defaults;
}

bool MyUserDefaults::synchronize()
{
    return writeToFile();
}
