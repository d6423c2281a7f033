#pragma once

#include <QList>
#include <QStringList>

#include "sites/LicensedFilter.h"
#include "sites/NavBook.h"

// Filters a latest-release list: four parallel lists (books, chapters,
// dates, labels) lose the entries of one index together when that index's
// book title is licensed. The allowed titles are the user's favourites.
// A template over the chapter record so the filter does not depend on the
// chapter-list code.
template <class Chapter> class LicensedRecentChaptersFilter : public LicensedFilter
{
public:
    LicensedRecentChaptersFilter(const QList<NavBook> &navBooks, const QList<Chapter> &navChapters,
                                 const QStringList &dates, const QStringList &labels,
                                 const QStringList &allowed = {})
        : LicensedFilter(allowed)
    {
        for (qsizetype i = 0; i < navBooks.size(); ++i) {
            if (isLicensed(navBooks[i].title()))
                continue;
            // The fetchers check that the lists are parallel; staying in
            // bounds here keeps a mismatch from reading past an end.
            filteredNavBooks_.append(navBooks[i]);
            if (i < navChapters.size())
                filteredNavChapters_.append(navChapters[i]);
            if (i < dates.size())
                filteredDates_.append(dates[i]);
            if (i < labels.size())
                filteredLabels_.append(labels[i]);
        }
    }

    const QList<NavBook> &filteredNavBooks() const { return filteredNavBooks_; }
    const QList<Chapter> &filteredNavChapters() const { return filteredNavChapters_; }
    const QStringList &filteredDates() const { return filteredDates_; }
    const QStringList &filteredLabels() const { return filteredLabels_; }

private:
    QList<NavBook> filteredNavBooks_;
    QList<Chapter> filteredNavChapters_;
    QStringList filteredDates_;
    QStringList filteredLabels_;
};
