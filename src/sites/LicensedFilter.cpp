#include "sites/LicensedFilter.h"

#include "sites/LicensedTitles.h"
#include "sites/NavBook.h"

const QSet<QString> &LicensedFilter::defaultTitles()
{
    static const QSet<QString> titles = [] {
        QSet<QString> set;
        set.reserve(qsizetype(kLicensedTitles.size()) + 1);
        for (const char16_t *title : kLicensedTitles)
            set.insert(QString::fromUtf16(title));
        set.insert(QStringLiteral("i\"s"));
        return set;
    }();
    return titles;
}

const QStringList &LicensedFilter::licensedPhrases()
{
    // Catches the many spellings and spin-offs of these series that the
    // table cannot list one by one.
    static const QStringList phrases{
        QStringLiteral("blue dragon"),
        QStringLiteral("fushigi y"),
        QStringLiteral("vampire knight"),
        QStringLiteral("kimi ni todoke"),
        QStringLiteral("boku no hatsukoi wo kimi ni sasagu"),
        QStringLiteral("video girl ai"),
        QStringLiteral("bizarre adventure"),
        QStringLiteral("pokemon"),
        QStringLiteral("higurashi no naku"),
        QStringLiteral("tsubasa"),
    };
    return phrases;
}

namespace {

bool blank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

// The table's hash, cheap enough to run in the loop that lower-cases the
// title (FNV-1a over the UTF-16 units).
constexpr std::uint32_t kHashSeed = 2166136261u;

std::uint32_t hashStep(std::uint32_t hash, char16_t c)
{
    return (hash ^ c) * 16777619u;
}

std::uint32_t hashOf(QStringView text)
{
    std::uint32_t hash = kHashSeed;
    for (const QChar c : text)
        hash = hashStep(hash, c.unicode());
    return hash;
}

// For each pair of lower-case ASCII letters, one more than the index of the
// phrase that starts with it (0: none). No two phrases share their first two
// letters, so one lookup per position finds the only candidate.
struct PhraseStarts {
    PhraseStarts()
    {
        const QStringList &phrases = LicensedFilter::licensedPhrases();
        for (qsizetype p = 0; p < phrases.size(); ++p) {
            const QString &phrase = phrases[p];
            Q_ASSERT(phrase.size() >= 2 && phrase[0].unicode() < 128 && phrase[1].unicode() < 128);
            std::uint8_t &slot = index[phrase[0].unicode()][phrase[1].unicode()];
            Q_ASSERT(slot == 0);
            slot = std::uint8_t(p + 1);
        }
    }
    std::uint8_t index[128][128] = {};
};

const PhraseStarts &phraseStarts()
{
    static const PhraseStarts starts;
    return starts;
}

bool phraseAt(QStringView lower, qsizetype at, std::uint8_t phrase)
{
    const QString &text = LicensedFilter::licensedPhrases()[phrase - 1];
    return text.size() <= lower.size() - at && lower.sliced(at, text.size()) == text;
}

bool containsPhrase(QStringView lower)
{
    const PhraseStarts &starts = phraseStarts();
    const auto *text = reinterpret_cast<const char16_t *>(lower.data());
    for (qsizetype i = 0; i + 1 < lower.size(); ++i) {
        const char16_t a = text[i];
        const char16_t b = text[i + 1];
        if (a < 128 && b < 128 && starts.index[a][b] && phraseAt(lower, i, starts.index[a][b]))
            return true;
    }
    return false;
}

// The title lower-cased, with the table's hash of it and the places where a
// phrase may start, made in one pass when the title is plain ASCII.
struct FoldedTitle {
    static constexpr qsizetype kBuffer = 256;
    static constexpr int kCandidates = 8;

    // False when the title is not plain ASCII or too long for the buffer.
    bool foldAscii(QStringView trimmed)
    {
        const auto *units = reinterpret_cast<const char16_t *>(trimmed.data());
        const qsizetype size = trimmed.size();
        if (size > kBuffer)
            return false;
        const PhraseStarts &starts = phraseStarts();
        std::uint32_t h = kHashSeed;
        char16_t previous = 0;
        for (qsizetype i = 0; i < size; ++i) {
            char16_t c = units[i];
            if (c >= 0x80)
                return false;
            if (c >= u'A' && c <= u'Z')
                c = char16_t(c + (u'a' - u'A'));
            buffer[i] = c;
            h = hashStep(h, c);
            if (const std::uint8_t phrase = starts.index[previous][c]) {
                if (candidates == kCandidates)
                    overflow = true;
                else
                    candidate[candidates++] = {i - 1, phrase};
            }
            previous = c;
        }
        lower = QStringView(buffer, size);
        hash = h;
        return true;
    }

    bool hasPhrase() const
    {
        if (overflow)
            return containsPhrase(lower);
        for (int c = 0; c < candidates; ++c)
            if (phraseAt(lower, candidate[c].at, candidate[c].phrase))
                return true;
        return false;
    }

    struct Candidate {
        qsizetype at;
        std::uint8_t phrase;
    };
    char16_t buffer[kBuffer];
    QStringView lower;
    std::uint32_t hash = 0;
    Candidate candidate[kCandidates];
    int candidates = 0;
    bool overflow = false;
};

} // namespace

LicensedFilter::LicensedFilter(const QStringList &allowed) : licensedTitles_(defaultTitles())
{
    for (const QString &title : allowed)
        licensedTitles_.remove(title.toLower());
    buildIndex();
}

void LicensedFilter::setLicensedTitles(const QSet<QString> &titles)
{
    licensedTitles_ = titles;
    buildIndex();
}

void LicensedFilter::buildIndex()
{
    keys_.assign(licensedTitles_.cbegin(), licensedTitles_.cend());
    std::size_t size = 8;
    while (size < keys_.size() * 2)
        size *= 2;
    mask_ = size - 1;
    slots_.assign(size, Slot{});
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        const std::uint32_t hash = hashOf(keys_[k]);
        std::size_t slot = hash & mask_;
        while (slots_[slot].key)
            slot = (slot + 1) & mask_;
        slots_[slot] = {hash, std::uint32_t(k + 1)};
    }
}

bool LicensedFilter::inTable(QStringView lower, std::uint32_t hash) const
{
    for (std::size_t slot = hash & mask_; slots_[slot].key; slot = (slot + 1) & mask_)
        if (slots_[slot].hash == hash && keys_[slots_[slot].key - 1] == lower)
            return true;
    return false;
}

bool LicensedFilter::isLicensed(const QString &title) const
{
    const auto *begin = reinterpret_cast<const char16_t *>(title.constData());
    const char16_t *end = begin + title.size();
    while (begin < end && blank(*begin))
        ++begin;
    while (end > begin && blank(end[-1]))
        --end;
    const QStringView trimmed(begin, end);

    FoldedTitle folded;
    if (folded.foldAscii(trimmed)) {
        if (inTable(folded.lower, folded.hash) || folded.hasPhrase())
            return true;
    } else {
        // Qt's full case mapping, which may change the length and may turn
        // a letter outside ASCII into one inside it.
        const QString lower = trimmed.toString().toLower();
        if (inTable(lower, hashOf(lower)) || containsPhrase(lower))
            return true;
    }
    // Case-sensitive on purpose: "Nana" is caught only through the table.
    return trimmed == u"nana";
}
