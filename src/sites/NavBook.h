#pragma once

#include <QString>
#include <QVariantMap>

// One manga of a site list: display title, the address of its page, and the
// popularity rank where a site gives one. A plain value: copies are deep and
// any thread may hold its own.
class NavBook
{
public:
    NavBook() = default;
    // Leading and trailing spaces and tabs are dropped from the title; line
    // breaks are kept, as the page parsers trim those themselves.
    NavBook(const QString &title, const QString &urlString);

    const QString &title() const { return title_; }
    const QString &urlString() const { return urlString_; }
    // Null when the site gives no rank.
    const QString &rank() const { return rank_; }

    void setTitle(const QString &title) { title_ = title; }
    void setUrlString(const QString &urlString) { urlString_ = urlString; }
    void setRank(const QString &rank) { rank_ = rank; }

    // Keyed form for the list cache, under "title", "urlString" and "rank";
    // a null field is left out.
    QVariantMap archive() const;
    static NavBook unarchive(const QVariantMap &map);

    bool operator==(const NavBook &) const = default;

private:
    QString title_;
    QString urlString_;
    QString rank_;
};

// Spaces and tabs only, at both ends.
QString TrimBlanks(const QString &text);
