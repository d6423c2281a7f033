#pragma once

#include <functional>

#include <QString>

#include "download/DownloadsProgressSink.h"

// The downloads screen's one progress bar and its two labels, as the engine
// writes them: they exist from start-up, before the screen is first shown,
// and outlive it, since the engine keeps hold of them for as long as a run
// lasts. The screen draws them in the active download's row and is told of
// every change.
// Thread contract: main thread only.
class DownloadsProgressViews : public DownloadsProgressSink
{
public:
    void setProgress(float progress) override;
    void setProgressLabel(const QString &text) override;
    void setProgressTypeLabel(const QString &text) override;

    float progress() const { return progress_; }
    QString progressLabel() const { return progressLabel_; }
    QString progressTypeLabel() const { return progressTypeLabel_; }

    // Called after each change; the screen unsets it before it goes.
    void setChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }

private:
    void changed();

    float progress_ = 0.0f;
    QString progressLabel_;
    QString progressTypeLabel_;
    std::function<void()> changed_;
};
