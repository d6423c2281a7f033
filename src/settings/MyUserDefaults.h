#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

// The settings: a key-value store kept in one property-list file under the
// home tree, so the settings travel with the library. Values are numbers
// (bool, integer, floating point), strings and arrays; the file is an XML
// property list, so a person can read and edit it (site addresses live there).
// Thread contract: main thread only.
class MyUserDefaults
{
public:
    static MyUserDefaults &sharedMyUserDefaults();

    MyUserDefaults() = default;
    MyUserDefaults(const MyUserDefaults &) = delete;
    MyUserDefaults &operator=(const MyUserDefaults &) = delete;

    // Loads the file when the path differs from the current one. A file that
    // is missing, unreadable or not a dictionary gives an empty dictionary,
    // which is written back at once.
    void setFilename(const QString &path);
    QString filename() const { return filename_; }

    // The stored value, else the registered default, else an invalid QVariant.
    QVariant objectForKey(const QString &key) const;
    // A value that is not a number reads false, 0 or 0.0.
    bool boolForKey(const QString &key) const;
    qint64 integerForKey(const QString &key) const;
    double floatForKey(const QString &key) const;
    // A value that is not a string reads as an empty string.
    QString stringForKey(const QString &key) const;
    // A value that is not an array reads as an empty list.
    QVariantList arrayForKey(const QString &key) const;

    // Values are kept in memory; nothing is written until synchronize().
    void setObject(const QVariant &value, const QString &key);
    void setBool(bool value, const QString &key);
    void setInteger(qint64 value, const QString &key);
    void setFloat(double value, const QString &key);
    void removeObjectForKey(const QString &key);

    // Replaces the defaults; they are never written to the file.
    void registerDefaults(const QVariantMap &defaults);

    // Writes every stored value, whole and atomically. False when no file
    // name is set or the write failed; the values stay in memory, so the
    // next call tries again.
    bool synchronize();

private:
    void readFromFile();
    bool writeToFile() const;

    QString filename_;
    QVariantMap dict_;
    QVariantMap defaultsDict_;
};
