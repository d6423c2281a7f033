#pragma once

#include <array>
#include <memory>
#include <vector>

#include <QList>
#include <QStringList>

#include "sites/NavBook.h"

// The alphabetical index of a book list, as the locale's collation sees the
// letters: one section per index letter ("A" to "Z" in English), books whose
// titles start with a digit or a symbol in "#" at the end, accented letters
// with their base letter. Books keep the list's order within a section.
// Thread contract: once built, an index is only read (ICU's immutable index
// is safe to share), so any thread may use it.
class NavBooksIndex
{
public:
    // The index of the user's locale, built once and shared: building it
    // costs more than placing a long list.
    static std::shared_ptr<const NavBooksIndex> shared();

    // The index of the user's locale (the default locale).
    NavBooksIndex();
    explicit NavBooksIndex(const char *localeName);
    ~NavBooksIndex();
    NavBooksIndex(const NavBooksIndex &) = delete;
    NavBooksIndex &operator=(const NavBooksIndex &) = delete;

    // Every section's title, in order; the section index shows all of them.
    const QStringList &sectionTitles() const { return titles_; }
    int sectionForTitle(const QString &bookTitle) const;
    // Per section, the positions in `books` of the books it holds.
    std::vector<std::vector<int>> sections(const QList<NavBook> &books) const;

private:
    void build(const char *localeName);
    int bucketSection(const QString &bookTitle) const;

    struct Collation; // the ICU index, kept out of this header
    std::unique_ptr<Collation> index_;
    // ICU bucket -> section; underflow, inflow and overflow all go to "#".
    std::vector<int> bucketSections_;
    QStringList titles_;
    // Per ASCII character, the section of every title starting with it, or
    // -1 where the title's other characters may matter.
    std::array<int, 128> firstLetterSections_ = filledWith(-1);

    static constexpr std::array<int, 128> filledWith(int value)
    {
        std::array<int, 128> array{};
        array.fill(value);
        return array;
    }
};
