#pragma once

#include <memory>
#include <vector>

#include "store/Chapter.h"
#include "store/Page.h"

// The pages of one chapter in reading order (by number), for the viewer.
// Thread contract: the thread of the chapter's context.
class PagesData
{
public:
    explicit PagesData(std::shared_ptr<Chapter> chapter);

    const std::shared_ptr<Chapter> &chapter() const { return chapter_; }
    std::vector<std::shared_ptr<Page>> &pages() { return pages_; }
    const std::vector<std::shared_ptr<Page>> &pages() const { return pages_; }
    int count() const { return int(pages_.size()); }
    // Reads the chapter's pages again.
    void fetchPages();

private:
    std::shared_ptr<Chapter> chapter_;
    std::vector<std::shared_ptr<Page>> pages_;
};
