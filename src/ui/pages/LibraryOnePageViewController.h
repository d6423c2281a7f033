#pragma once

#include "ui/pages/OnePageViewController.h"

// The page slot of a library chapter: every page is stored, so a page that
// cannot be shown gets its message.
// Thread contract: main thread only.
class LibraryOnePageViewController : public OnePageViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LibraryOnePageViewController)

public:
    using OnePageViewController::OnePageViewController;
};
