#include "cli/CliDownloadServices.h"

#include <cstdio>
#include <unistd.h>

#include <QString>

#include "download/DownloadsProgressSink.h"

// Draws the downloads screen's bar and labels: one line redrawn in place on
// a terminal, plain lines (one per change of label) otherwise.
class TerminalProgress : public DownloadsProgressSink
{
public:
    TerminalProgress() : terminal_(isatty(fileno(stdout))) {}

    void setProgress(float progress) override
    {
        progress_ = progress;
        if (terminal_)
            draw();
    }
    void setProgressLabel(const QString &text) override
    {
        if (text == label_)
            return;
        label_ = text;
        if (terminal_)
            draw();
        else if (!text.isEmpty())
            line(typeLabel_ + u' ' + text);
    }
    void setProgressTypeLabel(const QString &text) override
    {
        if (text == typeLabel_)
            return;
        typeLabel_ = text;
        if (terminal_)
            draw();
        else
            line(text);
    }
    void finishLine()
    {
        if (terminal_ && drawn_) {
            std::fputc('\n', stdout);
            std::fflush(stdout);
            drawn_ = false;
        }
    }

private:
    void draw()
    {
        constexpr int width = 30;
        const int filled = std::clamp(int(progress_ * width + 0.5f), 0, width);
        const QString bar = QString(filled, u'#') + QString(width - filled, u' ');
        const QByteArray text = (u"\r[" + bar + u"] " + typeLabel_ + u' ' + label_).toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        std::fputs("\033[K", stdout); // clears what a longer line left
        std::fflush(stdout);
        drawn_ = true;
    }
    static void line(const QString &text)
    {
        const QByteArray bytes = text.toUtf8();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }

    const bool terminal_;
    bool drawn_ = false;
    float progress_ = 0.0f;
    QString label_;
    QString typeLabel_;
};

CliDownloadServices::CliDownloadServices() : progress_(std::make_shared<TerminalProgress>()) {}

CliDownloadServices::~CliDownloadServices() = default;

std::shared_ptr<DownloadsProgressSink> CliDownloadServices::progressSink()
{
    return progress_;
}

bool CliDownloadServices::autoSaveToLibrary()
{
    return autoSave_ ? *autoSave_ : DownloadServices::autoSaveToLibrary();
}

void CliDownloadServices::finishProgressLine()
{
    progress_->finishLine();
}
