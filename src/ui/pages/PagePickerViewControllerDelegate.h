#pragma once

class PagePickerViewController;

// What the page picker tells the viewer.
class PagePickerViewControllerDelegate
{
public:
    virtual ~PagePickerViewControllerDelegate() = default;
    // Done: the selected row is the page to go to.
    virtual void pagePickerControllerDidSelectPage(PagePickerViewController *picker) {}
    // Cancel.
    virtual void pagePickerControllerDidSelectDismiss(PagePickerViewController *picker) {}
};
