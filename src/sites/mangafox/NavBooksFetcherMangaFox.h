#pragma once

#include "sites/NavBooksFetcher.h"

class NavBooksFetcherMangaFox : public NavBooksFetcher
{
public:
    using NavBooksFetcher::NavBooksFetcher;
    bool go() override;
};
