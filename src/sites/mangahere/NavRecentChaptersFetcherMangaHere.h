#pragma once

#include "sites/NavRecentChaptersFetcher.h"

// MangaHere's latest releases. Thread contract as NavBaseChaptersFetcher.
class NavRecentChaptersFetcherMangaHere : public NavRecentChaptersFetcher
{
public:
    using NavRecentChaptersFetcher::NavRecentChaptersFetcher;
    bool go() override;
};
