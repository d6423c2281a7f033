#pragma once

#include "sites/NavBooksFetcher.h"

class NavBooksFetcherMangaHere : public NavBooksFetcher
{
public:
    using NavBooksFetcher::NavBooksFetcher;
    bool go() override;
};
