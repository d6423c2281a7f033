#pragma once

#include <cstdint>
#include <vector>

#include <QSet>
#include <QString>
#include <QStringList>

// Decides whether a title is published under licence and so must not be
// offered for download. Thread contract: build and use a filter on one
// thread (the fetch operation's); the built-in table behind it is shared
// read-only between threads.
//
// A directory page lists tens of thousands of books and every one passes
// through here, so a plain ASCII title is lower-cased once, into a stack
// buffer, in the same pass that hashes it for an open-addressing index of the
// table and notes where a phrase could start.
class LicensedFilter
{
public:
    // The built-in table minus the lower-cased form of every allowed title.
    explicit LicensedFilter(const QStringList &allowed = {});
    virtual ~LicensedFilter() = default;

    bool isLicensed(const QString &title) const;

    // Lower-case keys; only membership matters.
    const QSet<QString> &licensedTitles() const { return licensedTitles_; }

    // The full built-in table (the listed titles and the key i"s).
    static const QSet<QString> &defaultTitles();
    // Tested against every title whatever the table, in this order.
    static const QStringList &licensedPhrases();

protected:
    // Replaces the table (the keys must already be lower case).
    void setLicensedTitles(const QSet<QString> &titles);

private:
    void buildIndex();
    bool inTable(QStringView lower, std::uint32_t hash) const;

    QSet<QString> licensedTitles_;
    // Slots hold a key's hash and its index into keys_ plus one (0: empty).
    // Kept at most half full so that a miss ends after a probe or two, and
    // the hash spares comparing texts.
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t key = 0;
    };
    std::vector<QString> keys_;
    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
};
