#include "app/AppWaitOverlay.h"

#include <QLabel>

#include "app/MangaAppDelegate.h"

// The delegate may be gone at the end of a run while a queued text is still
// on its way; GetMangaAppDelegate() tells.
void AppWaitOverlay::show()
{
    if (GetMangaAppDelegate() == delegate_ && delegate_->waitOverlay())
        delegate_->showWaitOverlay();
}

void AppWaitOverlay::hide()
{
    if (GetMangaAppDelegate() == delegate_ && delegate_->waitOverlay())
        delegate_->hideWaitOverlay();
}

void AppWaitOverlay::setLabelText(const QString &text)
{
    if (GetMangaAppDelegate() == delegate_ && delegate_->waitOverlay())
        delegate_->waitOverlayLabel()->setText(text);
}
