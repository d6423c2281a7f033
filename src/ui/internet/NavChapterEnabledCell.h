#pragma once

#include "ui/internet/NavChapterBaseCell.h"

// A chapter row showing the title, its grey second line and the "Download" button.
class NavChapterEnabledCell : public NavChapterBaseCell
{
public:
    using NavChapterBaseCell::NavChapterBaseCell;

    bool hasSubtitle() const override;
    bool hasButton() const override;
};
