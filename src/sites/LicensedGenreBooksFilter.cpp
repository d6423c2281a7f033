#include "sites/LicensedGenreBooksFilter.h"

LicensedGenreBooksFilter::LicensedGenreBooksFilter(const QList<NavBook> &navBooks)
    : LicensedBooksFilter(Deferred{}, {})
{
    setLicensedTitles(QSet<QString>{QStringLiteral("kissxsis"), QStringLiteral("no bra")});
    filter(navBooks);
}
