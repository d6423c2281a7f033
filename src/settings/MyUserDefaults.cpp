#include "settings/MyUserDefaults.h"

#include <cmath>
#include <optional>

#include "files/PropertyList.h"

namespace {

// The file is never large; anything bigger is not a settings file.
constexpr qint64 maximumFileSize = 16 * 1024 * 1024;

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

// The dictionary in the file, or nothing when it cannot be read as one.
std::optional<QVariantMap> readDictionary(const QString &path)
{
    const std::optional<QVariant> root = PropertyList::readFile(path, maximumFileSize);
    if (!root || root->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return root->toMap();
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
    // Synced: the settings hold the library's addresses and must survive a
    // power cut.
    return PropertyList::writeFile(filename_, PropertyList::toXml(QVariant(dict_)),
                                   PropertyList::Durability::Synced);
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
