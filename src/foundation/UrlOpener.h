#pragma once

#include <memory>
#include <vector>

#include <QUrl>

// Where outside links go: the shop's search page, the documents folder.
// The application opens them in the desktop's browser or file manager;
// tests and the screenshot renderer install a recorder instead, so nothing
// leaves the process.
// Thread contract: main thread only.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    // False when nothing could open the link.
    virtual bool openUrl(const QUrl &url) = 0;

    // The process's opener: the desktop's unless another was installed.
    static UrlOpener &instance();
    // Null puts the desktop's back.
    static void install(std::shared_ptr<UrlOpener> opener);
};

// Opens nothing; keeps the links for tests to read.
class UrlOpenerRecorder : public UrlOpener
{
public:
    bool openUrl(const QUrl &url) override
    {
        urls_.push_back(url);
        return true;
    }
    const std::vector<QUrl> &urls() const { return urls_; }

private:
    std::vector<QUrl> urls_;
};
