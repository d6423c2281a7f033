#pragma once

#include <bit>
#include <optional>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <QString>
#include <QStringView>

// A read cursor over one page's text. The text is held once (implicitly shared
// with the caller's QString) and every substring handed out is a view into it,
// so a view stays valid as long as this cursor lives.
//
// Thread contract: one thread at a time; no locks.
class HyperInput
{
public:
    explicit HyperInput(const QString &source);

    bool hasNext() const { return position_ < length_; }
    // Only call while hasNext() is true.
    QChar next() { return data_[position_++]; }

    // Whether the text from the cursor on begins with prefix (exact code units).
    // Does not move the cursor.
    bool startsWithPrefix(QStringView prefix) const;

    // Nothing, without moving, when the text at the cursor does not begin with
    // prefix; otherwise moves past it and returns substringToSuffix(suffix).
    std::optional<QStringView> substringFromPrefix(QStringView prefix, QStringView suffix);

    // The text from the cursor up to the next suffix, which is consumed. When
    // the suffix does not occur the rest of the input is consumed and the
    // result is empty: a page's trailing text and unterminated comments carry
    // nothing the page parsers need.
    QStringView substringToSuffix(QStringView suffix);

    const QString &source() const { return source_; }
    qsizetype position() const { return position_; }
    qsizetype length() const { return length_; }
    const QChar *data() const { return data_; }
    // The text as code units, for scanners that walk it by pointer.
    const char16_t *units() const { return reinterpret_cast<const char16_t *>(data_); }
    // Moves the cursor; position must lie within 0..length().
    void setPosition(qsizetype position) { position_ = position; }

    // The first c in [from, to), or to when there is none. Vectorised: the
    // search for the next "<" is the tokenizer's hottest loop.
    // Inline: it runs once or twice per tag.
    static inline const char16_t *find(const char16_t *from, const char16_t *to, char16_t c);

private:
    QString source_;
    const QChar *data_;
    qsizetype position_ = 0;
    qsizetype length_;
};

inline const char16_t *HyperInput::find(const char16_t *from, const char16_t *to, char16_t c)
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
