#pragma once

#include <functional>
#include <memory>

#include <QList>

class Download;
class DownloadsProgressSink;

// The steps of start-up that belong to screens built after the application
// shell: the downloads screen (progress views, resume offer, position) and
// the library screens (position). The engine's steps (the wait queue, the
// library's queue wrappers, interrupted downloads) are EngineStartUp's. The
// delegate calls these at their place in the start-up order. A step whose
// screen does not exist yet does nothing, except that the resume offer is
// kept here so that an interrupted download is not forgotten.
// Thread contract: main thread only.
class StartUpParts
{
public:
    virtual ~StartUpParts() = default;

    // Downloads screen: create the per-row progress views. Nothing yet.
    virtual void createProgressViews() {}
    // Where the download engine shows its progress; null while nothing
    // shows it.
    virtual std::shared_ptr<DownloadsProgressSink> progressSink() const { return nullptr; }
    // Downloads screen: whether it already offers a download to resume, and
    // the offer itself.
    virtual bool doResumeDownload() const { return doResumeDownload_; }
    virtual void offerToResume(std::shared_ptr<Download> download)
    {
        doResumeDownload_ = true;
        downloadToResumeFromAlert_ = std::move(download);
    }
    virtual std::shared_ptr<Download> downloadToResumeFromAlert() const { return downloadToResumeFromAlert_; }

    // Downloads screen: re-open the download at `row`. Nothing yet.
    virtual void restoreDownloadsLocation(int row) {}
    // Library screens: re-open the book at selection[0] and, when
    // selection[1] >= 0, its chapter, through the Library tab's root, which
    // the application hands over once the tabs exist.
    virtual void restoreLibraryLocation(const QList<int> &selection)
    {
        if (libraryRestorer_)
            libraryRestorer_(selection);
    }
    void setLibraryRestorer(std::function<void(const QList<int> &)> restorer)
    {
        libraryRestorer_ = std::move(restorer);
    }

private:
    std::function<void(const QList<int> &)> libraryRestorer_;
    bool doResumeDownload_ = false;
    std::shared_ptr<Download> downloadToResumeFromAlert_;
};
