#pragma once

#include "sites/NavChaptersFetcher.h"

// A MangaFox book page. Thread contract as NavBaseChaptersFetcher.
class NavChaptersFetcherMangaFox : public NavChaptersFetcher
{
public:
    using NavChaptersFetcher::NavChaptersFetcher;
    bool go() override;
};
