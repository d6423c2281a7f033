#include "catalogue/NavBooksIndex.h"

#include <unicode/alphaindex.h>
#include <unicode/locid.h>

namespace {

icu::UnicodeString unicode(const QString &text)
{
    return icu::UnicodeString(reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()));
}

} // namespace

struct NavBooksIndex::Collation {
    std::unique_ptr<icu::AlphabeticIndex::ImmutableIndex> index;
};

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
}

int NavBooksIndex::sectionForTitle(const QString &bookTitle) const
{
    if (!index_)
        return 0;
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
