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

bool containsPhrase(QStringView lower)
{
    static const PhraseStarts starts;
    const QStringList &phrases = LicensedFilter::licensedPhrases();
    const auto *text = reinterpret_cast<const char16_t *>(lower.data());
    const qsizetype size = lower.size();
    for (qsizetype i = 0; i + 1 < size; ++i) {
        const char16_t a = text[i];
        const char16_t b = text[i + 1];
        if (a >= 128 || b >= 128)
            continue;
        if (const std::uint8_t p = starts.index[a][b]) {
            const QString &phrase = phrases[p - 1];
            const qsizetype n = phrase.size();
            if (n <= size - i && QStringView(text + i, n) == phrase)
                return true;
        }
    }
    return false;
}

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
    slots_.assign(size, 0);
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        std::size_t slot = qHash(QStringView(keys_[k])) & mask_;
        while (slots_[slot])
            slot = (slot + 1) & mask_;
        slots_[slot] = std::uint32_t(k + 1);
    }
}

bool LicensedFilter::inTable(QStringView lower) const
{
    for (std::size_t slot = qHash(lower) & mask_; slots_[slot]; slot = (slot + 1) & mask_)
        if (keys_[slots_[slot] - 1] == lower)
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

    // Plain ASCII lower-cases letter by letter; anything else takes Qt's full
    // case mapping, which may change the length.
    constexpr qsizetype kBuffer = 256;
    char16_t buffer[kBuffer];
    QString folded;
    QStringView lower;
    bool ascii = trimmed.size() <= kBuffer;
    for (qsizetype i = 0; ascii && i < trimmed.size(); ++i) {
        const char16_t c = begin[i];
        if (c >= 0x80)
            ascii = false;
        else
            buffer[i] = (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
    }
    if (ascii) {
        lower = QStringView(buffer, trimmed.size());
    } else {
        folded = trimmed.toString().toLower();
        lower = folded;
    }

    if (inTable(lower) || containsPhrase(lower))
        return true;
    // Case-sensitive on purpose: "Nana" is caught only through the table.
    return trimmed == u"nana";
}
