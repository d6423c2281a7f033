#pragma once

#include "ui/internet/NavChapterBaseCell.h"

// A chapter row showing the title and the "Download" button.
class NavChapterSmallEnabledCell : public NavChapterBaseCell
{
public:
    using NavChapterBaseCell::NavChapterBaseCell;

    bool hasSubtitle() const override;
    bool hasButton() const override;
};
