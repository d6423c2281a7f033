#pragma once

#include <QList>

#include "sites/LicensedFilter.h"
#include "sites/NavBook.h"

// Keeps the books of a site list whose titles are not licensed, in order.
class LicensedBooksFilter : public LicensedFilter
{
public:
    explicit LicensedBooksFilter(const QList<NavBook> &navBooks, const QStringList &allowed = {});

    const QList<NavBook> &filteredNavBooks() const { return filteredNavBooks_; }

protected:
    // For subclasses that swap the table before filtering.
    struct Deferred {
    };
    LicensedBooksFilter(Deferred, const QStringList &allowed) : LicensedFilter(allowed) {}
    void filter(const QList<NavBook> &navBooks);

    QList<NavBook> filteredNavBooks_;
};
