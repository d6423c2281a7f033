#include "catalogue/NavBooksIndex.h"

#include <array>
#include <map>
#include <mutex>
#include <string>

#include <unicode/alphaindex.h>
#include <unicode/locid.h>
#include <unicode/tblcoll.h>
#include <unicode/ucol.h>
#include <unicode/uniset.h>
#include <unicode/usetiter.h>

namespace {

// A read-only alias of the text: ICU only reads it while it is alive.
icu::UnicodeString unicode(const QString &text)
{
    return icu::UnicodeString(false, reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()));
}

bool isAsciiLetterOrDigit(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// A title's section is decided by comparing its primary collation weights
// with those of each section's first letter. When the title's first
// character is a letter or digit that starts no contraction, its weights
// begin with that character's own whatever follows, and the only section
// boundaries that could still depend on what follows are ones of several
// letters ("Ch", "Dzs"), which are contractions. So that character alone
// finds the section, and a list of thousands of titles asks ICU a few dozen
// times instead of thousands.
std::array<bool, 128> contractionStarts(const icu::RuleBasedCollator &collator)
{
    std::array<bool, 128> starts{};
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeSet contractions;
    ucol_getContractionsAndExpansions(collator.toUCollator(), contractions.toUSet(), nullptr, false, &status);
    if (U_FAILURE(status)) {
        starts.fill(true); // unknown: ask ICU for every title
        return starts;
    }
    icu::UnicodeSetIterator it(contractions);
    while (it.next()) {
        const UChar32 first = it.isString() ? it.getString().char32At(0) : it.getCodepoint();
        if (first >= 0 && first < 128)
            starts[size_t(first)] = true;
    }
    return starts;
}

// Finding the contractions walks the whole collation table, which costs more
// than placing a long list; it is done once per locale.
std::array<bool, 128> contractionStartsOf(const char *localeName, const icu::RuleBasedCollator &collator)
{
    static std::mutex mutex;
    static std::map<std::string, std::array<bool, 128>> known;
    std::lock_guard lock(mutex);
    const auto [it, added] = known.try_emplace(localeName);
    if (added)
        it->second = contractionStarts(collator);
    return it->second;
}

} // namespace

struct NavBooksIndex::Collation {
    std::unique_ptr<icu::AlphabeticIndex::ImmutableIndex> index;
};

std::shared_ptr<const NavBooksIndex> NavBooksIndex::shared()
{
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<const NavBooksIndex>> built;
    const std::string locale = icu::Locale::getDefault().getName();
    std::lock_guard lock(mutex);
    std::shared_ptr<const NavBooksIndex> &index = built[locale];
    if (!index)
        index = std::make_shared<const NavBooksIndex>(locale.c_str());
    return index;
}

NavBooksIndex::NavBooksIndex()
{
    build(icu::Locale::getDefault().getName());
}

NavBooksIndex::NavBooksIndex(const char *localeName)
{
    build(localeName);
}

NavBooksIndex::~NavBooksIndex() = default;

void NavBooksIndex::build(const char *localeName)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::AlphabeticIndex alphabet(icu::Locale(localeName), status);
    if (U_SUCCESS(status)) {
        index_ = std::make_unique<Collation>();
        index_->index.reset(alphabet.buildImmutableIndex(status));
    }
    if (U_FAILURE(status) || !index_ || !index_->index) {
        // Without collation data every book still has a place: one "#" section.
        index_.reset();
        titles_ = QStringList{QStringLiteral("#")};
        return;
    }
    for (int32_t b = 0; b < index_->index->getBucketCount(); ++b) {
        const icu::AlphabeticIndex::Bucket *bucket = index_->index->getBucket(b);
        if (bucket->getLabelType() == U_ALPHAINDEX_NORMAL) {
            const icu::UnicodeString &label = bucket->getLabel();
            bucketSections_.push_back(int(titles_.size()));
            titles_ << QString(reinterpret_cast<const QChar *>(label.getBuffer()), label.length());
        } else {
            bucketSections_.push_back(-1);
        }
    }
    const int other = int(titles_.size());
    titles_ << QStringLiteral("#");
    for (int &section : bucketSections_)
        if (section < 0)
            section = other;
    const std::array<bool, 128> contracting = contractionStartsOf(localeName, alphabet.getCollator());
    for (char16_t c = 0; c < 128; ++c)
        if (isAsciiLetterOrDigit(c) && !contracting[c])
            firstLetterSections_[c] = bucketSection(QString(QChar(c)));
}

int NavBooksIndex::sectionForTitle(const QString &bookTitle) const
{
    if (!index_)
        return 0;
    if (!bookTitle.isEmpty() && bookTitle.front().unicode() < 128) {
        if (const int section = firstLetterSections_[bookTitle.front().unicode()]; section >= 0)
            return section;
    }
    return bucketSection(bookTitle);
}

int NavBooksIndex::bucketSection(const QString &bookTitle) const
{
    UErrorCode status = U_ZERO_ERROR;
    const int32_t bucket = index_->index->getBucketIndex(unicode(bookTitle), status);
    if (U_FAILURE(status) || bucket < 0 || size_t(bucket) >= bucketSections_.size())
        return int(titles_.size()) - 1;
    return bucketSections_[size_t(bucket)];
}

std::vector<std::vector<int>> NavBooksIndex::sections(const QList<NavBook> &books) const
{
    std::vector<std::vector<int>> out(size_t(titles_.size()));
    for (qsizetype i = 0; i < books.size(); ++i)
        out[size_t(sectionForTitle(books[i].title()))].push_back(int(i));
    return out;
}
