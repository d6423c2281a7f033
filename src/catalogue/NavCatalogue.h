#pragma once

#include <vector>

#include "sites/NavSite.h"

// The Internet tab's fixed list of entries, in display order: favourites,
// the three browsable sites, then the same three sites' latest releases.
// Base URLs are read from SiteConfig when the list is built.
class NavCatalogue
{
public:
    static std::vector<NavSite> sites();
};
