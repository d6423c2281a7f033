#pragma once

#include <QByteArray>
#include <QList>

// Builds binary property lists object by object, for files no writer in the
// program would produce. Offsets and references are four bytes wide.
namespace BinaryPlist {

inline QByteArray bigEndian(quint64 value, int size)
{
    QByteArray bytes(size, '\0');
    for (int i = size - 1; i >= 0; --i, value >>= 8)
        bytes[i] = char(value & 0xff);
    return bytes;
}

inline QByteArray ref(quint64 object)
{
    return bigEndian(object, 4);
}

// An array (marker 0xa) or dictionary (0xd: keys, then values) of up to 14
// entries.
inline QByteArray array(const QList<quint64> &items)
{
    QByteArray bytes(1, char(0xa0 | items.size()));
    for (quint64 item : items)
        bytes += ref(item);
    return bytes;
}

inline QByteArray dictionary(const QList<quint64> &keys, const QList<quint64> &values)
{
    QByteArray bytes(1, char(0xd0 | keys.size()));
    for (quint64 key : keys)
        bytes += ref(key);
    for (quint64 value : values)
        bytes += ref(value);
    return bytes;
}

inline QByteArray ascii(const QByteArray &text)
{
    return char(0x50 | text.size()) + text;
}

// UTF-16 big-endian; `units` holds two bytes per code unit.
inline QByteArray utf16(const QByteArray &units)
{
    return char(0x60 | (units.size() / 2)) + units;
}

inline QByteArray yes()
{
    return QByteArray(1, char(0x09));
}

inline QByteArray file(const QList<QByteArray> &objects, quint64 top = 0)
{
    QByteArray bytes("bplist00");
    QByteArray table;
    for (const QByteArray &object : objects) {
        table += bigEndian(quint64(bytes.size()), 4);
        bytes += object;
    }
    const quint64 tableStart = quint64(bytes.size());
    bytes += table;
    bytes += QByteArray(6, '\0') + char(4) + char(4);
    bytes += bigEndian(quint64(objects.size()), 8) + bigEndian(top, 8) + bigEndian(tableStart, 8);
    return bytes;
}

} // namespace BinaryPlist
