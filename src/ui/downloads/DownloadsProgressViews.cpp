#include "ui/downloads/DownloadsProgressViews.h"

void DownloadsProgressViews::setProgress(float progress)
{
    if (progress == progress_)
        return;
    progress_ = progress;
    changed();
}

void DownloadsProgressViews::setProgressLabel(const QString &text)
{
    if (text == progressLabel_)
        return;
    progressLabel_ = text;
    changed();
}

void DownloadsProgressViews::setProgressTypeLabel(const QString &text)
{
    if (text == progressTypeLabel_)
        return;
    progressTypeLabel_ = text;
    changed();
}

void DownloadsProgressViews::changed()
{
    if (changed_)
        changed_();
}
