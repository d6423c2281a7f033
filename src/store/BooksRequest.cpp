#include "store/BooksRequest.h"

#include "store/AppData.h"

BooksRequest::BooksRequest() : BooksRequest(QString(), QString()) {}

BooksRequest::BooksRequest(const QString &title) : BooksRequest(title, QString()) {}

BooksRequest::BooksRequest(const QString &title, const QString &rootTitle, ManagedObjectContext *)
    : FetchRequest(AppData::BookEntityName)
{
    const StoreValue downloads = AppData::DownloadsBookName;
    if (title.isEmpty())
        setPredicate(Predicate::predicateWithFormat(QStringLiteral("title != %@"), {downloads}));
    else if (rootTitle.isEmpty())
        setPredicate(Predicate::predicateWithFormat(QStringLiteral("title != %@ and title LIKE[c] %@"),
                                                    {downloads, title}));
    else
        setPredicate(Predicate::predicateWithFormat(
            QStringLiteral("title != %@ and title LIKE[c] %@ and rootTitle == %@"),
            {downloads, title, rootTitle}));
    setSortDescriptors({SortDescriptor::localizedCaseInsensitive(QStringLiteral("title"))});
}
