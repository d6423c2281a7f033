#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "catalogue/NavBaseChaptersFetcherQueueWrapper.h"
#include "sites/NavBook.h"

// Runs one latest-releases fetch at a time for the latest-release screen
// and keeps its four parallel lists; posts
// "NavRecentChaptersFetcherDidFinish" or "NavRecentChaptersFetcherDidFail".
// Thread contract as NavBaseChaptersFetcherQueueWrapper.
class NavRecentChaptersFetcherQueueWrapper : public NavBaseChaptersFetcherQueueWrapper
{
public:
    NavRecentChaptersFetcherQueueWrapper();
    ~NavRecentChaptersFetcherQueueWrapper() override;

    static QString didFinishNotification(); // "NavRecentChaptersFetcherDidFinish"
    static QString didFailNotification();   // "NavRecentChaptersFetcherDidFail"

    const QList<NavBook> &books() const { return books_; }
    const QList<NavChapter> &chapters() const { return chapters_; }
    const QStringList &dates() const { return dates_; }
    const QStringList &labels() const { return labels_; }

protected:
    std::shared_ptr<NavBaseChaptersFetcher> fetcherWithURLString(const QString &urlString) override;
    void takeResults(NavBaseChaptersFetcher &fetcher) override;
    void clearResults() override;

private:
    QList<NavBook> books_;
    QList<NavChapter> chapters_;
    QStringList dates_;
    QStringList labels_;
};
