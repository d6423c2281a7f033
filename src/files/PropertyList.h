#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QVariant>

// Property-list files as Qt values, the one way this program reads and
// writes them. Reading always passes PlistReader, so a damaged or hostile
// file reads as nothing. Dictionaries are QVariantMap, arrays QVariantList,
// texts QString (ending at a NUL), integers qint64 (their 64-bit pattern),
// reals double, data QByteArray; dates and keyed-archive ids are dropped.
// Writing makes XML for files a person may read and edit, and binary through
// BinaryPlistWriter for the rest; a file is replaced atomically either way.
// Thread contract: any thread.
namespace PropertyList {

// The list in the data, or nothing when it is not a readable list.
std::optional<QVariant> fromData(const QByteArray &data);
// The list in the file, or nothing when the file is missing, larger than
// maximumSize, or not a readable list.
std::optional<QVariant> readFile(const QString &path, qint64 maximumSize);
// The file's bytes, or nothing when it is missing, empty or too large.
std::optional<QByteArray> readBytes(const QString &path, qint64 maximumSize);

// Values of other types are left out, as are containers' members of them.
QByteArray toXml(const QVariant &value);
QByteArray toBinary(const QVariant &value);

enum class Durability {
    // Flushed to the disk before the rename: survives a power cut.
    Synced,
    // Only renamed: survives a killed process, and does not make the caller
    // wait for the disk.
    Renamed,
};
// Replaces the file with the data: a reader sees the old file or the new
// one, never part of either.
bool writeFile(const QString &path, const QByteArray &data, Durability durability);
// The same, with the bytes written into the new file by write(), which says
// whether it wrote them all: a large list need not be made whole in memory.
bool writeFile(const QString &path, Durability durability, const std::function<bool(QIODevice &)> &write);

} // namespace PropertyList
