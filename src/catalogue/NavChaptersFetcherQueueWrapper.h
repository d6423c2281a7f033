#pragma once

#include <optional>

#include <QList>
#include <QString>

#include "catalogue/NavBaseChaptersFetcherQueueWrapper.h"

// Runs one book-page fetch at a time for the chapter screen and keeps its
// result; posts "NavChaptersFetcherDidFinish" or "NavChaptersFetcherDidFail".
// Thread contract as NavBaseChaptersFetcherQueueWrapper (the download
// manager keeps it for the whole run).
class NavChaptersFetcherQueueWrapper : public NavBaseChaptersFetcherQueueWrapper
{
public:
    NavChaptersFetcherQueueWrapper();
    ~NavChaptersFetcherQueueWrapper() override;

    static QString didFinishNotification(); // "NavChaptersFetcherDidFinish"
    static QString didFailNotification();   // "NavChaptersFetcherDidFail"

    const QList<NavChapter> &chapters() const { return chapters_; }
    // Empty while a fetch runs and after a failure.
    const std::optional<NavBookInfo> &navBookInfo() const { return navBookInfo_; }
    const QString &nextPage() const { return nextPage_; }

protected:
    std::shared_ptr<NavBaseChaptersFetcher> fetcherWithURLString(const QString &urlString) override;
    void takeResults(NavBaseChaptersFetcher &fetcher) override;
    void clearResults() override;

private:
    QList<NavChapter> chapters_;
    std::optional<NavBookInfo> navBookInfo_;
    QString nextPage_;
};
