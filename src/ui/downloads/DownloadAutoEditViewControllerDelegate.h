#pragma once

class DownloadAutoEditViewController;

// Told when the save-to-library panel has moved its download into the
// library and saved the store, just before the panel returns to the root
// of its navigation stack.
class DownloadAutoEditViewControllerDelegate
{
public:
    virtual ~DownloadAutoEditViewControllerDelegate() = default;
    virtual void downloadAutoEditViewControllerDidSave(DownloadAutoEditViewController *controller) {}
};
