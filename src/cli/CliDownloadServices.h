#pragma once

#include <memory>
#include <optional>

#include "download/DownloadServices.h"

class TerminalProgress;

// The download engine's surroundings in yomora-cli: a badge kept as a plain
// count, progress drawn on the terminal, and the automatic save into the
// library switched for this process only. Thread contract: main thread.
class CliDownloadServices : public DownloadServices
{
public:
    CliDownloadServices();
    ~CliDownloadServices() override;

    void incrementDownloadsBadgeNumber() override { ++badge_; }
    void decrementDownloadsBadgeNumber() override { badge_ = badge_ > 0 ? badge_ - 1 : 0; }
    std::shared_ptr<DownloadsProgressSink> progressSink() override;
    bool autoSaveToLibrary() override;

    int badge() const { return badge_; }
    void setAutoSaveOverride(std::optional<bool> on) { autoSave_ = on; }
    // Ends the updating line, so that what follows starts on a line of its own.
    void finishProgressLine();

private:
    int badge_ = 0;
    std::optional<bool> autoSave_;
    std::shared_ptr<TerminalProgress> progress_;
};
