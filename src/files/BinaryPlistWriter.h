#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

// Writes a binary property list ("bplist00") object by object, straight
// into its bytes. The general-purpose library builds a node tree and looks
// every node up in a hash table before it writes a byte, which made saving a
// directory of fifteen thousand books cost many times its parse; here a
// caller that repeats a value (a dictionary's keys) simply reuses its
// reference, and nothing else is shared.
//
// Leaves are written as they are added. Containers are written at finish(),
// once the number of objects, and so the width of a reference, is known.
// Texts end at their first NUL, as they did through the library's C strings.
// Thread contract: one writer per thread; no shared state.
class BinaryPlistWriter
{
public:
    using Ref = std::uint32_t;

    BinaryPlistWriter();

    // Room for about this many more bytes and objects, so that a large list
    // is not copied as it grows.
    void reserve(qsizetype bytes, qsizetype objects);
    // Hands the bytes over in slices as they are written, so that a large
    // list never sits whole in memory; finish() then returns nothing.
    void streamTo(std::function<bool(QByteArrayView)> sink);
    // False once the sink refused a slice.
    bool ok() const { return ok_; }

    Ref addString(QStringView text);
    Ref addInteger(qint64 value);
    Ref addReal(double value);
    Ref addBool(bool value);
    Ref addData(const QByteArray &bytes);
    Ref addArray(std::span<const Ref> items);
    // keys[i] names values[i]; keys must be strings.
    Ref addDictionary(std::span<const Ref> keys, std::span<const Ref> values);

    // The whole list with top as its root; the writer is spent afterwards.
    QByteArray finish(Ref top);

private:
    struct Container {
        std::uint8_t marker;
        std::uint32_t first; // into refs_
        std::uint32_t count; // references, keys and values together
        Ref object;
    };

    Ref startObject();
    quint64 position() const { return handedOver_ + quint64(bytes_.size()); }
    void handOverIfFull();
    void appendCount(std::uint8_t marker, quint64 count);
    void appendInteger(quint64 value, int size);

    QByteArray bytes_;
    std::vector<quint64> offsets_; // per object
    std::vector<Container> containers_;
    std::vector<Ref> refs_;
    std::function<bool(QByteArrayView)> sink_;
    quint64 handedOver_ = 0;
    bool ok_ = true;
};
