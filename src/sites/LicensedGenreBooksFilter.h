#pragma once

#include "sites/LicensedBooksFilter.h"

// The extra filter of genre and popular lists: a short table of its own in
// place of the built-in one (the phrases still apply).
class LicensedGenreBooksFilter : public LicensedBooksFilter
{
public:
    explicit LicensedGenreBooksFilter(const QList<NavBook> &navBooks);
};
