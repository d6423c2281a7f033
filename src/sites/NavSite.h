#pragma once

#include <memory>

#include <QString>

#include "sites/NavSections.h"

// One entry of the Internet tab's catalogue: the favourites, a browsable
// site with its section table, or a site's latest-release list.
// Immutable once built; safe to read from any thread.
class NavSite
{
public:
    NavSite(const QString &rootTitle, const QString &title, const QString &rootUrl, const QString &dirUrl,
            std::shared_ptr<const NavSections> sections = nullptr);

    // The site key: owner name of the site's cached lists; empty for favourites.
    const QString &rootTitle() const { return rootTitle_; }
    const QString &title() const { return title_; }
    // Scheme and host ending in "/"; empty for favourites.
    const QString &rootUrl() const { return rootUrl_; }
    // Directory or latest-release path relative to rootUrl; may be empty.
    const QString &dirUrl() const { return dirUrl_; }
    // Null for the favourites and latest-release entries.
    const std::shared_ptr<const NavSections> &sections() const { return sections_; }

private:
    QString rootTitle_;
    QString title_;
    QString rootUrl_;
    QString dirUrl_;
    std::shared_ptr<const NavSections> sections_;
};
