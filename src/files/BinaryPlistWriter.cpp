#include "files/BinaryPlistWriter.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr qsizetype kSlice = 64 * 1024;
constexpr std::uint8_t kFalse = 0x08;
constexpr std::uint8_t kTrue = 0x09;
constexpr std::uint8_t kInteger = 0x10;
constexpr std::uint8_t kReal = 0x20;
constexpr std::uint8_t kData = 0x40;
constexpr std::uint8_t kAsciiString = 0x50;
constexpr std::uint8_t kUtf16String = 0x60;
constexpr std::uint8_t kArray = 0xa0;
constexpr std::uint8_t kDictionary = 0xd0;

// The smallest of the widths a reader accepts (1, 2, 4 or 8 bytes).
int widthFor(quint64 value)
{
    if (value < 0x100)
        return 1;
    if (value < 0x10000)
        return 2;
    if (value < 0x100000000ull)
        return 4;
    return 8;
}

void putBigEndian(char *at, quint64 value, int size)
{
    for (int i = size - 1; i >= 0; --i, value >>= 8)
        at[i] = char(value & 0xff);
}

// Copies the units as bytes, four at a time while they last; false as soon
// as one is a NUL or not ASCII.
bool copyPlainAscii(const char16_t *in, qsizetype length, char *out)
{
    constexpr quint64 kLanes = 0x0001000100010001ull;
    qsizetype i = 0;
    for (; i + 4 <= length; i += 4) {
        quint64 word;
        std::memcpy(&word, in + i, sizeof word);
        const bool wide = word & (0xff80 * kLanes);
        const bool nul = (word - kLanes) & ~word & (0x8000 * kLanes);
        if (wide || nul)
            return false;
        if constexpr (std::endian::native == std::endian::little) {
            // The four low bytes, gathered into one store.
            const auto bytes = std::uint32_t((word & 0xff) | ((word >> 8) & 0xff00) |
                                             ((word >> 16) & 0xff0000) | ((word >> 24) & 0xff000000));
            std::memcpy(out + i, &bytes, sizeof bytes);
        } else {
            for (int k = 0; k < 4; ++k)
                out[i + k] = char(in[i + k]);
        }
    }
    for (; i < length; ++i) {
        if (in[i] == 0 || in[i] >= 0x80)
            return false;
        out[i] = char(in[i]);
    }
    return true;
}

} // namespace

BinaryPlistWriter::BinaryPlistWriter()
{
    bytes_.reserve(4096);
    bytes_.append("bplist00", 8);
}

void BinaryPlistWriter::reserve(qsizetype bytes, qsizetype objects)
{
    if (!sink_)
        bytes_.reserve(bytes_.size() + bytes);
    offsets_.reserve(offsets_.size() + size_t(objects));
}

void BinaryPlistWriter::streamTo(std::function<bool(QByteArrayView)> sink)
{
    sink_ = std::move(sink);
    // Below the allocator's threshold for mapping fresh pages, so the slice
    // reuses memory the program already has.
    bytes_.reserve(kSlice + 4096);
}

void BinaryPlistWriter::handOverIfFull()
{
    if (!sink_ || bytes_.size() < kSlice)
        return;
    ok_ = ok_ && sink_(bytes_);
    handedOver_ += quint64(bytes_.size());
    bytes_.resize(0);
}

BinaryPlistWriter::Ref BinaryPlistWriter::startObject()
{
    handOverIfFull();
    offsets_.push_back(position());
    return Ref(offsets_.size() - 1);
}

void BinaryPlistWriter::appendInteger(quint64 value, int size)
{
    const qsizetype at = bytes_.size();
    bytes_.resize(at + 1 + size);
    bytes_[at] = char(kInteger | std::countr_zero(unsigned(size)));
    putBigEndian(bytes_.data() + at + 1, value, size);
}

// Counts below 15 fit in the marker; larger ones follow it as an integer.
void BinaryPlistWriter::appendCount(std::uint8_t marker, quint64 count)
{
    if (count < 15) {
        bytes_.append(char(marker | count));
        return;
    }
    bytes_.append(char(marker | 0x0f));
    appendInteger(count, widthFor(count));
}

BinaryPlistWriter::Ref BinaryPlistWriter::addString(QStringView text)
{
    const Ref ref = startObject();
    // Nearly every text is plain ASCII without a NUL: written as such in one
    // pass, and again with more care only when a unit says otherwise.
    const qsizetype start = bytes_.size();
    appendCount(kAsciiString, quint64(text.size()));
    const qsizetype at = bytes_.size();
    bytes_.resize(at + text.size());
    if (copyPlainAscii(text.utf16(), text.size(), bytes_.data() + at))
        return ref;
    bytes_.resize(start);
    if (const qsizetype nul = text.indexOf(QChar(0)); nul >= 0)
        text = text.first(nul);
    const char16_t *units = text.utf16();
    const qsizetype length = text.size();
    const bool ascii = std::all_of(units, units + length, [](char16_t c) { return c < 0x80; });
    appendCount(ascii ? kAsciiString : kUtf16String, quint64(length));
    const qsizetype body = bytes_.size();
    bytes_.resize(body + (ascii ? 1 : 2) * length);
    char *out = bytes_.data() + body;
    for (qsizetype i = 0; i < length; ++i) {
        if (ascii) {
            out[i] = char(units[i]);
        } else {
            out[2 * i] = char(units[i] >> 8);
            out[2 * i + 1] = char(units[i] & 0xff);
        }
    }
    return ref;
}

BinaryPlistWriter::Ref BinaryPlistWriter::addInteger(qint64 value)
{
    const Ref ref = startObject();
    // Readers take one-, two- and four-byte integers as unsigned, so a
    // negative number needs all eight.
    appendInteger(quint64(value), value < 0 ? 8 : widthFor(quint64(value)));
    return ref;
}

BinaryPlistWriter::Ref BinaryPlistWriter::addReal(double value)
{
    const Ref ref = startObject();
    const qsizetype at = bytes_.size();
    bytes_.resize(at + 9);
    bytes_[at] = char(kReal | 3);
    putBigEndian(bytes_.data() + at + 1, std::bit_cast<quint64>(value), 8);
    return ref;
}

BinaryPlistWriter::Ref BinaryPlistWriter::addBool(bool value)
{
    const Ref ref = startObject();
    bytes_.append(char(value ? kTrue : kFalse));
    return ref;
}

BinaryPlistWriter::Ref BinaryPlistWriter::addData(const QByteArray &data)
{
    const Ref ref = startObject();
    appendCount(kData, quint64(data.size()));
    bytes_.append(data);
    return ref;
}

BinaryPlistWriter::Ref BinaryPlistWriter::addArray(std::span<const Ref> items)
{
    const Ref ref = Ref(offsets_.size());
    offsets_.push_back(0);
    containers_.push_back({kArray, std::uint32_t(refs_.size()), std::uint32_t(items.size()), ref});
    refs_.insert(refs_.end(), items.begin(), items.end());
    return ref;
}

BinaryPlistWriter::Ref BinaryPlistWriter::addDictionary(std::span<const Ref> keys,
                                                        std::span<const Ref> values)
{
    Q_ASSERT(keys.size() == values.size());
    const Ref ref = Ref(offsets_.size());
    offsets_.push_back(0);
    containers_.push_back({kDictionary, std::uint32_t(refs_.size()), std::uint32_t(2 * keys.size()), ref});
    refs_.insert(refs_.end(), keys.begin(), keys.end());
    refs_.insert(refs_.end(), values.begin(), values.end());
    return ref;
}

QByteArray BinaryPlistWriter::finish(Ref top)
{
    const int refSize = widthFor(offsets_.size());
    for (const Container &container : containers_) {
        handOverIfFull();
        offsets_[container.object] = position();
        const quint64 entries = container.marker == kDictionary ? container.count / 2 : container.count;
        appendCount(container.marker, entries);
        const qsizetype at = bytes_.size();
        bytes_.resize(at + qsizetype(container.count) * refSize);
        char *out = bytes_.data() + at;
        for (std::uint32_t i = 0; i < container.count; ++i, out += refSize)
            putBigEndian(out, refs_[container.first + i], refSize);
    }

    const quint64 tableStart = position();
    const int offsetSize = widthFor(tableStart);
    char entry[8];
    for (const quint64 offset : offsets_) {
        handOverIfFull();
        putBigEndian(entry, offset, offsetSize);
        bytes_.append(entry, offsetSize);
    }
    // The trailer: six unused bytes, the two widths, then the object count,
    // the root and where the offset table starts.
    char trailer[32] = {};
    trailer[6] = char(offsetSize);
    trailer[7] = char(refSize);
    putBigEndian(trailer + 8, offsets_.size(), 8);
    putBigEndian(trailer + 16, top, 8);
    putBigEndian(trailer + 24, tableStart, 8);
    bytes_.append(trailer, sizeof trailer);

    containers_.clear();
    refs_.clear();
    offsets_.clear();
    if (sink_) {
        ok_ = ok_ && sink_(bytes_);
        bytes_.clear();
        return {};
    }
    return std::move(bytes_);
}
