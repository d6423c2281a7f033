#include "web/HyperInput.h"

#include <bit>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

HyperInput::HyperInput(const QString &source)
    : source_(source), data_(source_.constData()), length_(source_.size())
{}

bool HyperInput::startsWithPrefix(QStringView prefix) const
{
    if (prefix.size() > length_ - position_)
        return false;
    return QStringView(data_ + position_, prefix.size()) == prefix;
}

std::optional<QStringView> HyperInput::substringFromPrefix(QStringView prefix, QStringView suffix)
{
    if (!startsWithPrefix(prefix))
        return std::nullopt;
    position_ += prefix.size();
    return substringToSuffix(suffix);
}

QStringView HyperInput::substringToSuffix(QStringView suffix)
{
    const QStringView rest(data_ + position_, length_ - position_);
    qsizetype found;
    if (suffix.size() == 1) {
        const char16_t *from = units() + position_;
        const char16_t *to = units() + length_;
        const char16_t *at = find(from, to, suffix.front().unicode());
        found = at == to ? -1 : at - from;
    } else {
        found = rest.indexOf(suffix);
    }
    if (found < 0) {
        position_ = length_;
        return QStringView(data_ + length_, qsizetype(0));
    }
    position_ += found + suffix.size();
    return rest.first(found);
}

const char16_t *HyperInput::find(const char16_t *from, const char16_t *to, char16_t c)
{
#ifdef __SSE2__
    // Runs between tags are mostly short, so a block of eight comes first;
    // long runs (scripts, prose) go sixteen units at a time.
    const __m128i needle = _mm_set1_epi16(short(c));
    if (to - from >= 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from));
        if (const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(block, needle)))
            return from + (std::countr_zero(unsigned(mask)) >> 1);
        from += 8;
        while (to - from >= 16) {
            const __m128i a =
                _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(from)), needle);
            const __m128i b =
                _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(from + 8)), needle);
            const unsigned mask = unsigned(_mm_movemask_epi8(a)) | (unsigned(_mm_movemask_epi8(b)) << 16);
            if (mask)
                return from + (std::countr_zero(mask) >> 1);
            from += 16;
        }
        if (to - from >= 8) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from));
            if (const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(block, needle)))
                return from + (std::countr_zero(unsigned(mask)) >> 1);
            from += 8;
        }
    }
#endif
    for (; from != to; ++from) {
        if (*from == c)
            return from;
    }
    return to;
}
