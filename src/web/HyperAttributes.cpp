#include "web/HyperAttributes.h"

QString HyperAttributes::value(QStringView key, const QString &defaultValue) const
{
    const Attribute *a = find(key);
    return a ? a->value.toString() : defaultValue;
}

QString HyperAttributes::value(QLatin1String key, const QString &defaultValue) const
{
    const Attribute *a = find(key);
    return a ? a->value.toString() : defaultValue;
}

QStringView HyperAttributes::view(QStringView key) const
{
    const Attribute *a = find(key);
    return a ? a->value : QStringView();
}

QStringView HyperAttributes::view(QLatin1String key) const
{
    const Attribute *a = find(key);
    return a ? a->value : QStringView();
}

QHash<QString, QString> HyperAttributes::toHash() const
{
    QHash<QString, QString> hash;
    hash.reserve(items_.size());
    for (const Attribute &a : items_)
        hash.insert(a.key.toString(), a.value.toString());
    return hash;
}
