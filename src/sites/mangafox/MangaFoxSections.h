#pragma once

#include "sites/NavSections.h"

// The site's own genre paths, kept as the site spells them ("/doujishi/",
// "/shounen--ai/").
class MangaFoxSections : public NavSections
{
public:
    MangaFoxSections();
};
