#include "ui/internet/NavChapterDisabledCell.h"

bool NavChapterDisabledCell::hasSubtitle() const
{
    return true;
}

bool NavChapterDisabledCell::hasButton() const
{
    return false;
}
