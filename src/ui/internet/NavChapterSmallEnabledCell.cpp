#include "ui/internet/NavChapterSmallEnabledCell.h"

bool NavChapterSmallEnabledCell::hasSubtitle() const
{
    return false;
}

bool NavChapterSmallEnabledCell::hasButton() const
{
    return true;
}
