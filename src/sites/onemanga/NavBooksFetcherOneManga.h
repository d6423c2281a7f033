#pragma once

#include "sites/NavBooksFetcher.h"

class NavBooksFetcherOneManga : public NavBooksFetcher
{
public:
    using NavBooksFetcher::NavBooksFetcher;
    bool go() override;
};
