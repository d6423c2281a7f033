#pragma once

#include "sites/NavBooksFetcher.h"

class NavBooksFetcherMangaReader : public NavBooksFetcher
{
public:
    using NavBooksFetcher::NavBooksFetcher;
    bool go() override;
};
