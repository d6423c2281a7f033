#pragma once

#include "ui/pages/PagesViewController.h"

// The viewer on a stored chapter of the library.
// Thread contract: main thread only.
class LibraryPagesViewController : public PagesViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LibraryPagesViewController)

public:
    using PagesViewController::PagesViewController;
};
