#pragma once

#include <QString>

#include "deduction/ProgressSink.h"
#include "web/HttpProgressDelegate.h"

// What the download engine shows on the downloads screen while it works:
// the one shared progress bar (deductions and page fetching both drive it),
// the progress label ("%d/%d", "0/0", or cleared) and the type label
// ("Preprocessing...", "Downloading..."). The screen implements it, and so
// does yomora-cli on a terminal. Thread contract: main thread only.
class DownloadsProgressSink : public ProgressSink, public HttpProgressDelegate
{
public:
    // From 0 (a run or a deduction has just begun) to 1; the page fetcher
    // moves it one equal step per ended request.
    void setProgress(float progress) override {}
    virtual void setProgressLabel(const QString &text) {}
    virtual void setProgressTypeLabel(const QString &text) {}
};
