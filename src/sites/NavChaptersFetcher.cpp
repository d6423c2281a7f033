#include "sites/NavChaptersFetcher.h"

#include <algorithm>

#include "sites/ChaptersParserDelegate.h"

bool NavChaptersFetcher::goWithParser(ChaptersParserDelegate &parser, bool highestFirst)
{
    if (isCancelled())
        return false;
    parseHTML(parser);
    chapters_ = parser.navChapters();
    navBookInfo_ = parser.navBookInfo();
    if (highestFirst)
        std::stable_sort(chapters_.begin(), chapters_.end(),
                         [](const NavChapter &a, const NavChapter &b) { return a.compare(b) < 0; });
    if (isCancelled())
        return false;
    if (chapters_.isEmpty())
        return failWithError(cannotFindChaptersError());
    return true;
}

std::mutex &NavChaptersFetcher::finishedLock()
{
    static std::mutex lock;
    return lock;
}

std::mutex &NavChaptersFetcher::failedLock()
{
    static std::mutex lock;
    return lock;
}
