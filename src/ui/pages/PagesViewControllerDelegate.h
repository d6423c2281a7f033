#pragma once

class PagesViewController;

// What the viewer asks of the list that opened it (the library's chapter
// list, the downloads list). Every method has a default that does nothing,
// so a viewer opened from elsewhere has no next chapter.
class PagesViewControllerDelegate
{
public:
    virtual ~PagesViewControllerDelegate() = default;
    // Asked each time the end-of-chapter menu is built. True only after
    // setting the viewer's next chapter (setNextChapter) to one that has
    // pages; on false the delegate clears it.
    virtual bool pagesViewControllerHasNextChapter(PagesViewController *viewer) { return false; }
    // Just before the viewer switches to its next chapter.
    virtual void pagesViewControllerWillGotoNextChapter(PagesViewController *viewer) {}
    // "Save chapter", "Save and next chapter": the download goes into the
    // library; the delegate then clears the viewer's chapter and pages.
    virtual void pagesViewControllerSaveChapter(PagesViewController *viewer) {}
    // "Delete chapter", "Delete and next chapter"; likewise clears them.
    virtual void pagesViewControllerDeleteChapter(PagesViewController *viewer) {}
    // The viewer leaves the screen.
    virtual void pagesViewControllerWillDisappear(PagesViewController *viewer) {}
};
