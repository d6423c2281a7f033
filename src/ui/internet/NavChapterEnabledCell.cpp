#include "ui/internet/NavChapterEnabledCell.h"

bool NavChapterEnabledCell::hasSubtitle() const
{
    return true;
}

bool NavChapterEnabledCell::hasButton() const
{
    return true;
}
