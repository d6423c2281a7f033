#pragma once

#include "ui/internet/NavChapterBaseCell.h"

// A chapter row showing the title alone.
class NavChapterSmallDisabledCell : public NavChapterBaseCell
{
public:
    using NavChapterBaseCell::NavChapterBaseCell;

    bool hasSubtitle() const override;
    bool hasButton() const override;
};
