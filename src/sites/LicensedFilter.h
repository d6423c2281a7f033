#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// Decides whether a title is published under licence and so must not be
// offered for download. Thread contract: build and use a filter on one
// thread (the fetch operation's); the built-in table behind it is shared
// read-only between threads.
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
    QSet<QString> licensedTitles_;
};
