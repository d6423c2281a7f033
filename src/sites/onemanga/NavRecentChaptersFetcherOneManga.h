#pragma once

#include "sites/NavRecentChaptersFetcher.h"

// OneManga's latest releases. Thread contract as NavBaseChaptersFetcher.
class NavRecentChaptersFetcherOneManga : public NavRecentChaptersFetcher
{
public:
    using NavRecentChaptersFetcher::NavRecentChaptersFetcher;
    bool go() override;
};
