#pragma once

#include "ui/internet/NavChapterBaseCell.h"

// A chapter row showing the title and its grey second line, without a button: the chapter is already on its
// way.
class NavChapterDisabledCell : public NavChapterBaseCell
{
public:
    using NavChapterBaseCell::NavChapterBaseCell;

    bool hasSubtitle() const override;
    bool hasButton() const override;
};
