#pragma once

#include <memory>

#include "sites/NavBaseChaptersFetcher.h"

class ChaptersParserDelegate;

// Fetches a book's page and reads its chapter list and details with the
// site's parser. Thread contract as NavBaseChaptersFetcher.
class NavChaptersFetcher : public NavBaseChaptersFetcher
{
public:
    using NavBaseChaptersFetcher::NavBaseChaptersFetcher;

protected:
    // Parses htmlString with the given site parser and takes its results;
    // fails with "No chapters found" when it found none.
    bool goWithParser(ChaptersParserDelegate &parser, bool highestFirst);

    std::mutex &finishedLock() override;
    std::mutex &failedLock() override;
};
