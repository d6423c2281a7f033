#pragma once

#include "app/StartUpParts.h"

class DownloadsViewController;
class MangaAppDelegate;

// The application's start-up steps for the screens built after the shell:
// the downloads screen makes its progress views, keeps the offer to resume
// an interrupted download and reopens the download being read when the
// last run ended. Everything else stays as the base class has it.
// Thread contract: main thread only.
class AppStartUpParts : public StartUpParts
{
public:
    explicit AppStartUpParts(MangaAppDelegate &delegate) : delegate_(delegate) {}

    void createProgressViews() override;
    std::shared_ptr<DownloadsProgressSink> progressSink() const override;
    bool doResumeDownload() const override;
    void offerToResume(std::shared_ptr<Download> download) override;
    std::shared_ptr<Download> downloadToResumeFromAlert() const override;
    void restoreDownloadsLocation(int row) override;

private:
    // Null until the tab bar has been built (and in a test that builds none).
    DownloadsViewController *downloadsScreen() const;

    MangaAppDelegate &delegate_;
};
