#pragma once

#include "sites/NavSections.h"

// No search row: this site is browsed through its lists only. Its directory
// path is empty, so these paths hang off the base URL directly.
class MangaReaderSections : public NavSections
{
public:
    MangaReaderSections();
};
