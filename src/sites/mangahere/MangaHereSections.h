#pragma once

#include "sites/NavSections.h"

// The site's own genre paths, kept as the site spells them ("/comedy//").
class MangaHereSections : public NavSections
{
public:
    MangaHereSections();
};
