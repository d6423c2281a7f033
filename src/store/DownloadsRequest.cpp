#include "store/DownloadsRequest.h"

#include "store/AppData.h"

DownloadsRequest::DownloadsRequest()
    : FetchRequest(
          AppData::DownloadEntityName,
          Predicate::predicateWithFormat(QStringLiteral("book.title == %@"), {AppData::DownloadsBookName}),
          {SortDescriptor{QStringLiteral("date"), false}})
{}

DownloadsRequest::DownloadsRequest(ManagedObjectContext *) : DownloadsRequest() {}

DownloadsRequest::DownloadsRequest(const QString &bookTitle, const QString &rootTitle)
    : FetchRequest(AppData::DownloadEntityName,
                   Predicate::predicateWithFormat(
                       QStringLiteral("book.title == %@ and bookTitle LIKE[c] %@ and rootTitle == %@"),
                       {AppData::DownloadsBookName, bookTitle, rootTitle}),
                   {SortDescriptor{QStringLiteral("number"), true}})
{}
