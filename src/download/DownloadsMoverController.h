#pragma once

#include <memory>
#include <vector>

#include <QString>

#include "download/BulkController.h"

class Download;
class DownloadsMoverController;

class DownloadsMoverControllerDelegate
{
public:
    virtual ~DownloadsMoverControllerDelegate() = default;
    virtual void downloadsMoverDidFinish(DownloadsMoverController &controller) {}
};

// Saves the completed downloads into the library in bulk, at most 20 at a
// time, after asking the user. Up to 5 are saved at once; more go to the
// background save behind the wait overlay. Refused while a download is busy.
// The settings screen and yomora-cli drive the same flow: the question goes
// through the Alerts service and the overlay through WaitOverlay.
// Thread contract: main thread only.
class DownloadsMoverController : public BulkController
{
public:
    static constexpr int kMaxDownloads = 20;
    static constexpr int kConfirmationTag = 44;

    explicit DownloadsMoverController(DownloadsMoverControllerDelegate *delegate);

    // Asks "Are you sure?"; "Ok" starts the save.
    void moveDownloads();

    // The newest completed downloads, up to 20; false (and none) when a busy
    // download comes first.
    bool prepareToMoveDownloads();
    bool tooManyDownloadsToMove(const std::vector<std::shared_ptr<Download>> &downloads);
    void moveDownloadsForeground();
    void moveDownloadsBackground();
    void moveDownloadsDidFinish();

    const std::vector<std::shared_ptr<Download>> &downloadsToMove() const { return downloadsToMove_; }
    // Of downloadsToMove, those that stayed in the downloads (a file could
    // not be moved, or the store could not be saved).
    int failedCount() const { return failedCount_; }

private:
    bool prepare() override { return prepareToMoveDownloads() && !tooManyDownloadsToMove(downloadsToMove_); }
    int itemCount() const override { return int(downloadsToMove_.size()); }
    void runForeground() override { moveDownloadsForeground(); }
    void runBackground() override { moveDownloadsBackground(); }
    void backgroundDidFinish() override { moveDownloadsDidFinish(); }
    void reportFailures();

    DownloadsMoverControllerDelegate *delegate_;
    std::vector<std::shared_ptr<Download>> downloadsToMove_;
    int failedCount_ = 0;
};
