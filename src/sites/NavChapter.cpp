#include "sites/NavChapter.h"

#include "sites/NavBook.h"

NavChapter::NavChapter(const QString &title, const QString &urlString, std::optional<Decimal> number)
    : title_(TrimBlanks(title)), urlString_(urlString), number_(std::move(number))
{}

std::weak_ordering NavChapter::compare(const NavChapter &other) const
{
    // Rank first: missing (0) < not-a-number (1) < a number (2).
    auto rank = [](const std::optional<Decimal> &n) { return !n ? 0 : n->isNaN() ? 1 : 2; };
    const int mine = rank(number_);
    const int theirs = rank(other.number_);
    if (mine != theirs)
        return theirs <=> mine;
    if (mine < 2)
        return std::weak_ordering::equivalent;
    return *other.number_ <=> *number_;
}
