#include "sites/LicensedBooksFilter.h"

LicensedBooksFilter::LicensedBooksFilter(const QList<NavBook> &navBooks, const QStringList &allowed)
    : LicensedFilter(allowed)
{
    filter(navBooks);
}

void LicensedBooksFilter::filter(const QList<NavBook> &navBooks)
{
    filteredNavBooks_.clear();
    filteredNavBooks_.reserve(navBooks.size());
    // The texts lie apart in memory and the test of a title is quicker than
    // fetching it, or the counts that copying a book raises: asking for them
    // a few books ahead lets the waits overlap. A text's count sits just
    // before its characters.
    constexpr qsizetype kAhead = 8;
    const qsizetype count = navBooks.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (i + kAhead < count) {
            const NavBook &ahead = navBooks[i + kAhead];
            __builtin_prefetch(ahead.title().constData());
            __builtin_prefetch(reinterpret_cast<const char *>(ahead.title().constData()) - 16);
            __builtin_prefetch(reinterpret_cast<const char *>(ahead.urlString().constData()) - 16);
        }
        if (!isLicensed(navBooks[i].title()))
            filteredNavBooks_.append(navBooks[i]);
    }
}
