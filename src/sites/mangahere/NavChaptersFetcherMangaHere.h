#pragma once

#include "sites/NavChaptersFetcher.h"

// A MangaHere book page. Thread contract as NavBaseChaptersFetcher.
class NavChaptersFetcherMangaHere : public NavChaptersFetcher
{
public:
    using NavChaptersFetcher::NavChaptersFetcher;
    bool go() override;
};
