#include "files/PlistArrayFile.h"

#include "files/PropertyList.h"

namespace {

// A list larger than this is not one this program wrote.
constexpr qint64 kMaximumFileSize = 16ll * 1024 * 1024;

QVariantList readArray(const QString &path)
{
    const std::optional<QVariant> root = PropertyList::readFile(path, kMaximumFileSize);
    return root && root->typeId() == QMetaType::QVariantList ? root->toList() : QVariantList();
}

QString stringOf(const QVariant &value)
{
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

// No sync to disk: these lists guard against a killed process, and syncing
// on every change would make each saved download wait for the disk.
bool writeArray(const QString &path, const QVariantList &array)
{
    return PropertyList::writeFile(path, PropertyList::toXml(array), PropertyList::Durability::Renamed);
}

} // namespace

namespace PlistArrayFile {

QStringList readStrings(const QString &path)
{
    QStringList strings;
    for (const QVariant &item : readArray(path)) {
        const QString text = stringOf(item);
        if (!text.isEmpty())
            strings << text;
    }
    return strings;
}

bool writeStrings(const QString &path, const QStringList &strings)
{
    QVariantList array;
    array.reserve(strings.size());
    for (const QString &text : strings)
        array.append(text);
    return writeArray(path, array);
}

QList<QMap<QString, QString>> readDictionaries(const QString &path)
{
    QList<QMap<QString, QString>> dictionaries;
    for (const QVariant &item : readArray(path)) {
        if (item.typeId() != QMetaType::QVariantMap)
            continue;
        const QVariantMap fields = item.toMap();
        QMap<QString, QString> dictionary;
        for (auto it = fields.cbegin(); it != fields.cend(); ++it)
            dictionary.insert(it.key(), stringOf(it.value()));
        dictionaries << dictionary;
    }
    return dictionaries;
}

bool writeDictionaries(const QString &path, const QList<QMap<QString, QString>> &dictionaries)
{
    QVariantList array;
    array.reserve(dictionaries.size());
    for (const auto &dictionary : dictionaries) {
        QVariantMap fields;
        for (auto it = dictionary.begin(); it != dictionary.end(); ++it)
            fields.insert(it.key(), it.value());
        array.append(fields);
    }
    return writeArray(path, array);
}

} // namespace PlistArrayFile
