#pragma once

class IEImportChapterViewController;

// Hears how the store import of a chapter ended.
class IEImportChapterViewControllerDelegate
{
public:
    virtual ~IEImportChapterViewControllerDelegate() = default;
    virtual void chapterDidSave(IEImportChapterViewController *controller) = 0;
    virtual void chapterSaveFailed(IEImportChapterViewController *controller) = 0;
};
