#pragma once

#include "sites/NavRecentChaptersFetcher.h"

// MangaReader's latest releases. Thread contract as NavBaseChaptersFetcher.
class NavRecentChaptersFetcherMangaReader : public NavRecentChaptersFetcher
{
public:
    using NavRecentChaptersFetcher::NavRecentChaptersFetcher;
    bool go() override;
};
