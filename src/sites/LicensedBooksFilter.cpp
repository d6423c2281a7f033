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
    // The titles lie apart in memory and the test of one is quicker than
    // fetching it: asking for a title a few books ahead lets the waits
    // overlap.
    constexpr qsizetype kAhead = 8;
    const qsizetype count = navBooks.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (i + kAhead < count)
            __builtin_prefetch(navBooks[i + kAhead].title().constData());
        if (!isLicensed(navBooks[i].title()))
            filteredNavBooks_.append(navBooks[i]);
    }
}
