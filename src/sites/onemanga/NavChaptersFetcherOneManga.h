#pragma once

#include "sites/NavChaptersFetcher.h"

// A OneManga book page. Thread contract as NavBaseChaptersFetcher.
class NavChaptersFetcherOneManga : public NavChaptersFetcher
{
public:
    using NavChaptersFetcher::NavChaptersFetcher;
    bool go() override;
};
