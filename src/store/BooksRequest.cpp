#include "store/BooksRequest.h"

#include "store/AppData.h"

BooksRequest::BooksRequest() : BooksRequest(QString(), QString()) {}

BooksRequest::BooksRequest(const QString &title) : BooksRequest(title, QString()) {}

BooksRequest::BooksRequest(const QString &title, const QString &rootTitle, ManagedObjectContext *)
    : FetchRequest(AppData::BookEntityName)
{
    const StoreValue downloads = AppData::DownloadsBookName;
    // Only a missing title widens the question to the whole library: an
    // empty one is a title like any other, so a saver looking for the book
    // of an untitled manga never lands in some other book.
    if (title.isNull())
        setPredicate(Predicate::predicateWithFormat(QStringLiteral("title != %@"), {downloads}));
    else if (rootTitle.isNull())
        setPredicate(Predicate::predicateWithFormat(QStringLiteral("title != %@ and title LIKE[c] %@"),
                                                    {downloads, title}));
    else
        setPredicate(Predicate::predicateWithFormat(
            QStringLiteral("title != %@ and title LIKE[c] %@ and rootTitle == %@"),
            {downloads, title, rootTitle}));
    setSortDescriptors({SortDescriptor::localizedCaseInsensitive(QStringLiteral("title"))});
}
