#pragma once

#include "foundation/WaitOverlay.h"

class MangaAppDelegate;

// The engine's view of the application delegate's wait overlay.
// Thread contract: main thread only.
class AppWaitOverlay : public WaitOverlay
{
public:
    explicit AppWaitOverlay(MangaAppDelegate *delegate) : delegate_(delegate) {}
    void show() override;
    void hide() override;
    void setLabelText(const QString &text) override;

private:
    MangaAppDelegate *delegate_;
};
