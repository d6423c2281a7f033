#include "foundation/PlistReader.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Far deeper than any list this program writes, and shallow enough for the
// library's recursive parser and for ours on any thread's stack.
constexpr int kMaximumDepth = 64;
// Room for the largest cached site directory many times over, while a list
// that expands past it would take gigabytes once parsed.
constexpr quint64 kMaximumNodes = 2'000'000;

constexpr int kTrailerSize = 32;
constexpr int kHeaderSize = 8;

quint64 bigEndian(const uchar *bytes, int size)
{
    quint64 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

// A binary list: a header, the objects, a table of their offsets and a
// trailer giving the sizes of offsets and references.
class BinaryList
{
public:
    explicit BinaryList(const QByteArray &data)
        : bytes_(reinterpret_cast<const uchar *>(data.constData())), size_(quint64(data.size()))
    {}

    bool isSafe()
    {
        if (size_ < quint64(kHeaderSize + kTrailerSize))
            return false;
        const uchar *trailer = bytes_ + size_ - kTrailerSize;
        offsetSize_ = trailer[6];
        refSize_ = trailer[7];
        objectCount_ = bigEndian(trailer + 8, 8);
        const quint64 top = bigEndian(trailer + 16, 8);
        tableStart_ = bigEndian(trailer + 24, 8);
        const quint64 end = size_ - kTrailerSize;
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8 || objectCount_ == 0 ||
            top >= objectCount_ || tableStart_ < quint64(kHeaderSize) || tableStart_ > end ||
            objectCount_ > (end - tableStart_) / offsetSize_)
            return false;
        return walk(top);
    }

private:
    struct Container {
        quint64 refs = 0;     // where the references start
        quint64 refCount = 0; // keys and values together for a dictionary
        quint64 keyCount = 0;
    };

    struct Frame {
        quint64 object;
        Container container;
        quint64 next = 0;
        int height = 0;
        quint64 nodes = 1;
    };

    enum State : uchar { Unseen, Open, Done };

    // Where the object starts, or 0 when the table points outside the objects.
    quint64 offset(quint64 object) const
    {
        const quint64 at = bigEndian(bytes_ + tableStart_ + object * offsetSize_, offsetSize_);
        return at >= quint64(kHeaderSize) && at < tableStart_ ? at : 0;
    }

    // The count in an object's marker, which continues in an integer object
    // when its low half is all ones.
    bool count(quint64 &at, quint64 &value) const
    {
        const uchar low = bytes_[at] & 0x0f;
        ++at;
        if (low != 0x0f) {
            value = low;
            return true;
        }
        if (at >= tableStart_ || (bytes_[at] & 0xf0) != 0x10 || (bytes_[at] & 0x0f) > 3)
            return false;
        const int size = 1 << (bytes_[at] & 0x0f);
        ++at;
        if (tableStart_ - at < quint64(size))
            return false;
        value = bigEndian(bytes_ + at, size);
        at += quint64(size);
        return true;
    }

    static bool isContainer(uchar marker)
    {
        const uchar type = marker >> 4;
        return type == 0xa || type == 0xc || type == 0xd;
    }

    bool container(quint64 at, Container &result) const
    {
        const bool dictionary = (bytes_[at] >> 4) == 0xd;
        quint64 entries = 0;
        if (!count(at, entries))
            return false;
        const quint64 perEntry = dictionary ? 2 : 1;
        if (entries > (tableStart_ - at) / (perEntry * refSize_))
            return false;
        result.refs = at;
        result.refCount = entries * perEntry;
        result.keyCount = dictionary ? entries : 0;
        return true;
    }

    // A key must be a string without a NUL, in either of its encodings.
    bool isSoundKey(quint64 object) const
    {
        quint64 at = offset(object);
        if (at == 0)
            return false;
        const uchar type = bytes_[at] >> 4;
        if (type != 0x5 && type != 0x6)
            return false;
        quint64 length = 0;
        if (!count(at, length))
            return false;
        const quint64 unit = type == 0x6 ? 2 : 1;
        if (length > (tableStart_ - at) / unit)
            return false;
        for (quint64 i = 0; i < length; ++i) {
            const uchar *code = bytes_ + at + i * unit;
            if (code[0] == 0 && (unit == 1 || code[1] == 0))
                return false;
        }
        return true;
    }

    // Depth-first over the references, each object measured once: the
    // height and node count the parsed tree would have.
    bool walk(quint64 top)
    {
        std::vector<State> state(objectCount_, Unseen);
        std::vector<int> heights(objectCount_, 0);
        std::vector<quint64> nodes(objectCount_, 1);
        std::vector<Frame> stack;
        // Leaves are done at once; containers wait on the stack for their
        // children.
        auto open = [&](quint64 object) {
            const quint64 at = offset(object);
            if (at == 0)
                return false;
            if (!isContainer(bytes_[at])) {
                state[object] = Done;
                return true;
            }
            Frame frame{object, {}};
            if (!container(at, frame.container) || stack.size() >= size_t(kMaximumDepth))
                return false;
            state[object] = Open;
            stack.push_back(frame);
            return true;
        };
        auto add = [&](Frame &parent, quint64 child) {
            parent.height = std::max(parent.height, heights[child] + 1);
            parent.nodes += nodes[child];
            return parent.height <= kMaximumDepth && parent.nodes <= kMaximumNodes;
        };
        if (!open(top))
            return false;
        while (!stack.empty()) {
            Frame &frame = stack.back();
            if (frame.next == frame.container.refCount) {
                const quint64 object = frame.object;
                state[object] = Done;
                heights[object] = frame.height;
                nodes[object] = frame.nodes;
                stack.pop_back();
                if (!stack.empty() && !add(stack.back(), object))
                    return false;
                continue;
            }
            const quint64 child = bigEndian(bytes_ + frame.container.refs + frame.next * refSize_, refSize_);
            const bool key = frame.next < frame.container.keyCount;
            ++frame.next;
            if (child >= objectCount_ || (key && !isSoundKey(child)))
                return false;
            if (state[child] == Open)
                return false; // a container inside itself
            if (state[child] == Unseen && !open(child))
                return false;
            if (state[child] == Done && !add(stack.back(), child))
                return false;
        }
        return true;
    }

    const uchar *bytes_;
    quint64 size_;
    int offsetSize_ = 0;
    int refSize_ = 0;
    quint64 objectCount_ = 0;
    quint64 tableStart_ = 0;
};

bool startsTag(const char *at, const char *end, const char *name)
{
    const size_t length = std::strlen(name);
    if (size_t(end - at) <= length || std::memcmp(at, name, length) != 0)
        return false;
    const char next = at[length];
    return next == '>' || next == '/' || next == ' ' || next == '\t' || next == '\r' || next == '\n';
}

// Text lists cannot share objects; only their nesting needs a bound. Tags
// are counted without parsing the markup: a comment that mentions a
// container can only make a file look deeper than it is.
bool isShallowText(const QByteArray &data)
{
    const char *at = data.constData();
    const char *end = at + data.size();
    int depth = 0;
    while ((at = static_cast<const char *>(std::memchr(at, '<', size_t(end - at))))) {
        ++at;
        const bool closing = at < end && *at == '/';
        const char *name = closing ? at + 1 : at;
        if (!startsTag(name, end, "array") && !startsTag(name, end, "dict"))
            continue;
        if (closing) {
            --depth;
            continue;
        }
        const char *close = static_cast<const char *>(std::memchr(name, '>', size_t(end - name)));
        if (close && close[-1] == '/')
            continue; // an empty container
        if (++depth > kMaximumDepth)
            return false;
    }
    return true;
}

} // namespace

namespace PlistReader {

bool isSafe(const QByteArray &data)
{
    if (data.startsWith("bplist00"))
        return BinaryList(data).isSafe();
    return isShallowText(data);
}

plist_t read(const QByteArray &data)
{
    if (data.isEmpty() || !isSafe(data))
        return nullptr;
    plist_t root = nullptr;
    plist_from_memory(data.constData(), uint32_t(data.size()), &root);
    return root;
}

} // namespace PlistReader
