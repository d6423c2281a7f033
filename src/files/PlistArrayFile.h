#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// Small property-list files that hold one array: of strings (the pending
// removals) or of string dictionaries (the move journal). Writes replace the
// file atomically, so a crash leaves the old list or the new one, never half
// of either. A missing or unreadable file reads as an empty array.
// Thread contract: any thread; callers serialise writers of one file.
namespace PlistArrayFile {

QStringList readStrings(const QString &path);
bool writeStrings(const QString &path, const QStringList &strings);

QList<QMap<QString, QString>> readDictionaries(const QString &path);
bool writeDictionaries(const QString &path, const QList<QMap<QString, QString>> &dictionaries);

} // namespace PlistArrayFile
