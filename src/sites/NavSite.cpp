#include "sites/NavSite.h"

NavSite::NavSite(const QString &rootTitle, const QString &title, const QString &rootUrl,
                 const QString &dirUrl, std::shared_ptr<const NavSections> sections)
    : rootTitle_(rootTitle), title_(title), rootUrl_(rootUrl), dirUrl_(dirUrl), sections_(std::move(sections))
{}
