#pragma once

#include "sites/NavChaptersFetcher.h"

// A MangaReader book page. Thread contract as NavBaseChaptersFetcher.
class NavChaptersFetcherMangaReader : public NavChaptersFetcher
{
public:
    using NavChaptersFetcher::NavChaptersFetcher;
    bool go() override;
};
