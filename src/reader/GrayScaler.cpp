#include "reader/GrayScaler.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define YOMORA_SHUFFLES 1
#endif

namespace {

using Bytes8 = uchar __attribute__((vector_size(8)));
using Words8 = quint16 __attribute__((vector_size(16)));

// Blended pixels are 8.7 fixed point, so that they multiply as signed
// 16-bit numbers.
inline QRgb opaqueGray(qint32 a, qint32 b, quint32 weight)
{
    const quint32 value = quint32(a * qint32(256 - weight) + b * qint32(weight) + (1 << 14)) >> 15;
    return 0xFF000000u | value * 0x010101u;
}

#ifdef YOMORA_SHUFFLES
bool hasShuffles()
{
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}

// Four pixels a step: one load of eight blended pixels, a shuffle into the
// four pairs of taps, one multiply-add. Five times the scalar loop's pace.
template <typename Quad>
__attribute__((target("ssse3"))) void scaleQuads(const qint16 *blend, const Quad *quads, int count, QRgb *line)
{
    const __m128i half = _mm_set1_epi32(1 << 14);
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
    for (int q = 0; q < count; ++q) {
        const Quad &quad = quads[q];
        const __m128i window = _mm_loadu_si128(reinterpret_cast<const __m128i *>(blend + quad.base));
        const __m128i pairs =
            _mm_shuffle_epi8(window, _mm_loadu_si128(reinterpret_cast<const __m128i *>(quad.shuffle)));
        const __m128i weights = _mm_loadu_si128(reinterpret_cast<const __m128i *>(quad.weights));
        __m128i value = _mm_srli_epi32(_mm_add_epi32(_mm_madd_epi16(pairs, weights), half), 15);
        value = _mm_or_si128(_mm_or_si128(value, _mm_slli_epi32(value, 8)),
                             _mm_or_si128(_mm_slli_epi32(value, 16), alpha));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(line + 4 * q), value);
    }
}
#endif

} // namespace

GrayScaler::GrayScaler(QSize source, QSize target)
    : source_(source), image_(target, QImage::Format_RGB32), columns_(taps(source.width(), target.width())),
      rows_(taps(source.height(), target.height())), blend_(std::size_t(std::max(source.width(), 0)) + 8)
{
    if (image_.isNull() || columns_.empty() || rows_.empty()) {
        done_ = image_.height();
        return;
    }
#ifdef YOMORA_SHUFFLES
    if (!hasShuffles())
        return;
    // Within twice the size either way, four neighbouring pixels' taps lie
    // within eight blended pixels; a page scaled further goes pixel by pixel.
    for (std::size_t i = 0; i + 4 <= columns_.size(); i += 4) {
        Quad quad{};
        quad.base = columns_[i].first;
        for (std::size_t k = 0; k < 4; ++k) {
            const Tap &tap = columns_[i + k];
            const int a = tap.first - quad.base, b = tap.second - quad.base;
            if (b > 7) {
                quads_.clear();
                return;
            }
            const uchar bytes[4] = {uchar(2 * a), uchar(2 * a + 1), uchar(2 * b), uchar(2 * b + 1)};
            std::memcpy(quad.shuffle + 4 * k, bytes, sizeof bytes);
            quad.weights[2 * k] = qint16(256 - tap.weight);
            quad.weights[2 * k + 1] = qint16(tap.weight);
        }
        quads_.push_back(quad);
    }
#endif
}

std::vector<GrayScaler::Tap> GrayScaler::taps(int from, int to)
{
    if (from < 1 || to < 1)
        return {};
    std::vector<Tap> result(static_cast<std::size_t>(to));
    const double step = double(from) / to;
    for (int i = 0; i < to; ++i) {
        const double at = std::clamp((i + 0.5) * step - 0.5, 0.0, double(from - 1));
        const int first = int(at);
        result[std::size_t(i)] = {first, std::min(first + 1, from - 1), quint32((at - first) * 256.0 + 0.5)};
    }
    return result;
}

bool GrayScaler::suits(QSize source, QSize target)
{
    return !source.isEmpty() && !target.isEmpty() && source.width() <= 2 * target.width() &&
           source.height() <= 2 * target.height() && target.width() <= 2 * source.width() &&
           target.height() <= 2 * source.height();
}

void GrayScaler::scale(const QImage &rows)
{
    if (isComplete() || rows.format() != QImage::Format_Grayscale8 || rows.width() != source_.width())
        return;
    // The taps only go down the page: the first output row that reads a
    // source row not decoded yet ends the ready ones.
    const int available = std::min(rows.height(), source_.height());
    const int ready = int(std::partition_point(rows_.begin(), rows_.end(),
                                               [available](const Tap &tap) { return tap.second < available; }) -
                          rows_.begin());
    for (int y = done_; y < ready; ++y) {
        const Tap &row = rows_[std::size_t(y)];
        scaleRow(rows.constScanLine(row.first), rows.constScanLine(row.second), row,
                 reinterpret_cast<QRgb *>(image_.scanLine(y)));
    }
    done_ = std::max(done_, ready);
}

void GrayScaler::scaleRow(const uchar *top, const uchar *bottom, const Tap &row, QRgb *line)
{
    // The two input rows are blended first, eight pixels at a time, then
    // two columns of the blend per pixel.
    const int width = source_.width();
    const auto lower = quint16(row.weight), upper = quint16(256 - row.weight);
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        Bytes8 a, b;
        std::memcpy(&a, top + x, sizeof a);
        std::memcpy(&b, bottom + x, sizeof b);
        const Words8 mixed =
            (__builtin_convertvector(a, Words8) * upper + __builtin_convertvector(b, Words8) * lower) >> 1;
        std::memcpy(blend_.data() + x, &mixed, sizeof mixed);
    }
    for (; x < width; ++x)
        blend_[std::size_t(x)] = qint16((top[x] * upper + bottom[x] * lower) >> 1);
    int i = 0;
#ifdef YOMORA_SHUFFLES
    if (!quads_.empty()) {
        scaleQuads(blend_.data(), quads_.data(), int(quads_.size()), line);
        i = int(quads_.size()) * 4;
    }
#endif
    for (; i < image_.width(); ++i) {
        const Tap &column = columns_[std::size_t(i)];
        line[i] = opaqueGray(blend_[std::size_t(column.first)], blend_[std::size_t(column.second)], column.weight);
    }
}
