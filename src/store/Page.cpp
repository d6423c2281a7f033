#include "store/Page.h"

#include "store/Chapter.h"

std::shared_ptr<Chapter> Page::chapter() const
{
    return std::dynamic_pointer_cast<Chapter>(destination(ChapterRelationship));
}

void Page::setChapter(const Chapter *chapter)
{
    setDestination(ChapterRelationship, chapter);
}

void Page::setChapter(const std::shared_ptr<Chapter> &chapter)
{
    setDestination(ChapterRelationship, chapter.get());
}
