#pragma once

#include "sites/NavRecentChaptersFetcher.h"

// MangaFox's latest releases. Thread contract as NavBaseChaptersFetcher.
class NavRecentChaptersFetcherMangaFox : public NavRecentChaptersFetcher
{
public:
    using NavRecentChaptersFetcher::NavRecentChaptersFetcher;
    bool go() override;
};
