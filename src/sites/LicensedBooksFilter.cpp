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
    for (const NavBook &book : navBooks)
        if (!isLicensed(book.title()))
            filteredNavBooks_.append(book);
}
