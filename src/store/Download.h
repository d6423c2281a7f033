#pragma once

#include <QDateTime>

#include "store/Chapter.h"

// A chapter being downloaded ("Download"). Every download belongs to the
// downloads book; its title is the chapter's title and its number the
// chapter's number.
class Download : public Chapter
{
public:
    enum Property {
        RootTitle = BookRelationship + 1,
        BookTitle,
        FirstPageURL,
        Date,
        IsQueued,
        IsDownloading,
        NextChapterURL
    };
    static QString entityName() { return QStringLiteral("Download"); }
    using Chapter::Chapter;

    // The source site's name.
    QString rootTitle() const { return stringValue(RootTitle); }
    void setRootTitle(const QString &rootTitle) { setStringValue(RootTitle, rootTitle); }
    // The manga the chapter will be saved under.
    QString bookTitle() const { return stringValue(BookTitle); }
    void setBookTitle(const QString &bookTitle) { setStringValue(BookTitle, bookTitle); }
    QString firstPageURL() const { return stringValue(FirstPageURL); }
    void setFirstPageURL(const QString &url) { setStringValue(FirstPageURL, url); }
    // When the download was created (invalid when nil).
    QDateTime date() const;
    void setDate(const QDateTime &date);
    bool isQueued() const { return StoreValues::toBool(value(IsQueued)); }
    void setIsQueued(bool queued) { setValue(IsQueued, queued); }
    bool isDownloading() const { return StoreValues::toBool(value(IsDownloading)); }
    void setIsDownloading(bool downloading) { setValue(IsDownloading, downloading); }
    // Holds the text of the last page-deduction error, not a URL.
    QString nextChapterURL() const { return stringValue(NextChapterURL); }
    void setNextChapterURL(const QString &text) { setStringValue(NextChapterURL, text); }
};
