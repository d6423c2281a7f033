#pragma once

#include <vector>

#include <QString>

// One row of a site's section table. The flags mirror the optional keys of
// the row ("useSectionKey", "useBooksSearch", "doSectionFilter"); a key that
// a row does not carry reads as false.
struct NavSection {
    QString labelKey; // row label and title of the screen it opens
    QString urlKey;   // joined to the site's directory path; empty = the directory itself
    bool useSectionKey = false;
    bool useBooksSearch = false;
    // Carried by the popular and genre rows only; the category screen opens
    // every list unfiltered regardless.
    bool doSectionFilter = false;

    bool operator==(const NavSection &) const = default;
};

// A site's section table. Subclasses fill it once in their constructor;
// immutable afterwards, so it may be shared across threads.
class NavSections
{
public:
    virtual ~NavSections() = default;
    const std::vector<NavSection> &sections() const { return sections_; }

protected:
    NavSections() = default;
    void addSearch(const QString &label, const QString &url);
    void addIndexed(const QString &label, const QString &url);
    void addFiltered(const QString &label, const QString &url);

    std::vector<NavSection> sections_;
};
