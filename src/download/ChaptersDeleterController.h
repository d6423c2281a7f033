#pragma once

#include <memory>
#include <vector>

#include "download/BulkController.h"
#include "foundation/Error.h"

class Book;
class Chapter;
class ChaptersDeleterController;

class ChaptersDeleterControllerDelegate
{
public:
    virtual ~ChaptersDeleterControllerDelegate() = default;
    virtual void chaptersDeleterDidFinish(ChaptersDeleterController &controller) {}
    // The deletion was not stored (the store's alert has been shown); the
    // chapters and their folders stay.
    virtual void chaptersDeleterDidFail(ChaptersDeleterController &controller, const Error &error) {}
};

// Deletes, after asking, the opened chapters of one book below its last
// chapter read. Refused while a download is running and above 200 chapters.
// Up to 5 are deleted at once; more in the background behind the wait
// overlay. Records are deleted and saved before their folders go.
// Thread contract: main thread only.
class ChaptersDeleterController : public BulkController
{
public:
    static constexpr int kConfirmationTag = 77;
    static constexpr int kMaxDeletions = 200;

    ChaptersDeleterController(std::shared_ptr<Book> book, ChaptersDeleterControllerDelegate *delegate);

    void deleteChapters();
    bool prepareToDeleteChapters();
    void deleteChaptersForeground();
    void deleteChaptersBackground();
    void removePathsDidFinish();
    bool isDownloading() const;
    void showWaitOverlay();
    void hideWaitOverlay();

    const std::vector<std::shared_ptr<Chapter>> &chaptersToDelete() const { return chaptersToDelete_; }

private:
    bool prepare() override { return prepareToDeleteChapters(); }
    int itemCount() const override { return int(chaptersToDelete_.size()); }
    void runForeground() override { deleteChaptersForeground(); }
    void runBackground() override { deleteChaptersBackground(); }
    void backgroundDidFinish() override { removePathsDidFinish(); }
    void tellDelegate(const std::optional<Error> &error);

    std::shared_ptr<Book> book_;
    ChaptersDeleterControllerDelegate *delegate_;
    std::vector<std::shared_ptr<Chapter>> chaptersToDelete_;
};
