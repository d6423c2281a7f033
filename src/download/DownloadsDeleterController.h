#pragma once

#include <memory>
#include <vector>

#include "download/BulkController.h"
#include "foundation/Error.h"

class Download;
class DownloadsDeleterController;

class DownloadsDeleterControllerDelegate
{
public:
    virtual ~DownloadsDeleterControllerDelegate() = default;
    virtual void downloadsDeleterDidFinish(DownloadsDeleterController &controller) {}
    // The deletion was not stored (the store's alert has been shown); the
    // downloads and their folders stay.
    virtual void downloadsDeleterDidFail(DownloadsDeleterController &controller, const Error &error) {}
};

// Deletes, after asking, the opened downloads that are not the highest
// numbered of their manga (at most 201 at a time). Refused while any
// download is busy. Up to 5 are deleted at once; more in the background
// behind the wait overlay. Records are deleted and saved before their
// folders go.
// Thread contract: main thread only.
class DownloadsDeleterController : public BulkController
{
public:
    static constexpr int kConfirmationTag = 77;
    static constexpr int kMaxDeletions = 200;

    explicit DownloadsDeleterController(DownloadsDeleterControllerDelegate *delegate);

    void deleteDownloads();
    bool prepareToDeleteDownloads();
    void deleteDownloadsForeground();
    void deleteDownloadsBackground();
    void removePathsDidFinish();

    const std::vector<std::shared_ptr<Download>> &downloadsToDelete() const { return downloadsToDelete_; }

private:
    bool prepare() override { return prepareToDeleteDownloads(); }
    int itemCount() const override { return int(downloadsToDelete_.size()); }
    void runForeground() override { deleteDownloadsForeground(); }
    void runBackground() override { deleteDownloadsBackground(); }
    void backgroundDidFinish() override { removePathsDidFinish(); }
    void tellDelegate(const std::optional<Error> &error);

    DownloadsDeleterControllerDelegate *delegate_;
    std::vector<std::shared_ptr<Download>> downloadsToDelete_;
};
