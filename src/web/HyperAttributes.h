#pragma once

#include <vector>

#include <QHash>
#include <QLatin1String>
#include <QString>
#include <QStringView>

// The attributes of one start tag, in the order the page first wrote each key.
// Keys and values are views of the page text, exactly as written (no case
// folding, no decoding); keys match exactly, case included. A repeated key
// keeps its last value.
//
// Lifetime: the parser reuses one list for every tag, so the list and its
// views are only good during the didStartElement() callback. value() and
// toHash() return owning copies for anything kept longer.
//
// Thread contract: one thread at a time.
class HyperAttributes
{
public:
    struct Attribute {
        QStringView key;
        QStringView value;
    };

    HyperAttributes() { items_.reserve(16); }

    bool isEmpty() const { return items_.empty(); }
    qsizetype size() const { return qsizetype(items_.size()); }
    const Attribute *begin() const { return items_.data(); }
    const Attribute *end() const { return items_.data() + items_.size(); }

    bool contains(QStringView key) const { return find(key) != nullptr; }
    bool contains(QLatin1String key) const { return find(key) != nullptr; }
    bool contains(const char *key) const { return contains(QLatin1String(key)); }

    // A copy of the value, or defaultValue (null) when the key is absent. An
    // attribute written as key="" gives an empty, non-null string.
    QString value(QStringView key, const QString &defaultValue = QString()) const;
    QString value(QLatin1String key, const QString &defaultValue = QString()) const;
    QString value(const char *key, const QString &defaultValue = QString()) const
    {
        return value(QLatin1String(key), defaultValue);
    }

    // The value without copying (only during the callback); a null view when
    // the key is absent.
    QStringView view(QStringView key) const;
    QStringView view(QLatin1String key) const;
    QStringView view(const char *key) const { return view(QLatin1String(key)); }

    QHash<QString, QString> toHash() const;

    // Stores value under key, replacing the value of an earlier equal key.
    // Inline: the tokenizer calls it for every attribute of every tag.
    void insert(QStringView key, QStringView value)
    {
        for (Attribute &a : items_) {
            if (a.key == key) {
                a.value = value;
                return;
            }
        }
        items_.push_back(Attribute{key, value});
    }
    // Keeps the capacity, so a list reused for every tag stops allocating
    // after the first few.
    void clear() { items_.clear(); }

private:
    template <typename Key> const Attribute *find(Key key) const
    {
        for (const Attribute &a : items_) {
            if (a.key == key)
                return &a;
        }
        return nullptr;
    }

    std::vector<Attribute> items_;
};
