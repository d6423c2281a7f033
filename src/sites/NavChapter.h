#pragma once

#include <compare>
#include <optional>

#include <QString>

#include "foundation/Decimal.h"

// One chapter as a catalogue page lists it: what the user sees, where it
// lives and where it sorts. A plain value; safe to copy between threads.
class NavChapter
{
public:
    NavChapter() = default;
    // The label loses leading and trailing spaces and tabs (not line breaks),
    // the same trimming the book records use.
    NavChapter(const QString &title, const QString &urlString, std::optional<Decimal> number);

    const QString &title() const { return title_; }
    void setTitle(const QString &title) { title_ = title; }
    const QString &urlString() const { return urlString_; }
    void setUrlString(const QString &urlString) { urlString_ = urlString; }
    // Absent when the site's address could not be read at all.
    const std::optional<Decimal> &number() const { return number_; }
    void setNumber(std::optional<Decimal> number) { number_ = std::move(number); }
    // No site page names the scanlator; kept for the records that carry one.
    const QString &scanlator() const { return scanlator_; }
    void setScanlator(const QString &scanlator) { scanlator_ = scanlator; }

    // Highest number first: greater when this chapter's number is smaller.
    // Numbers sort above not-a-number, which sorts above a missing number,
    // so any mix of them still sorts consistently.
    std::weak_ordering compare(const NavChapter &other) const;

    bool operator==(const NavChapter &other) const = default;

private:
    QString title_;
    QString urlString_;
    std::optional<Decimal> number_;
    QString scanlator_;
};
