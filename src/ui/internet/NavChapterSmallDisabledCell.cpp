#include "ui/internet/NavChapterSmallDisabledCell.h"

bool NavChapterSmallDisabledCell::hasSubtitle() const
{
    return false;
}

bool NavChapterSmallDisabledCell::hasButton() const
{
    return false;
}
