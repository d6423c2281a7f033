#pragma once

#include <optional>

#include "store/ManagedObject.h"

class Book;
class Page;

// One chapter of a library book ("Chapter"); Download extends it.
class Chapter : public ManagedObject
{
public:
    enum Property { Title, Number, ExpectedNumberOfPages, IsComplete, LastPageRead, Uuid, BookRelationship };
    static QString entityName() { return QStringLiteral("Chapter"); }
    using ManagedObject::ManagedObject;

    QString title() const { return stringValue(Title); }
    void setTitle(const QString &title) { setStringValue(Title, title); }
    // The sort number, exact; nil only when never set.
    std::optional<Decimal> number() const;
    void setNumber(const std::optional<Decimal> &number);
    int expectedNumberOfPages() const { return int(StoreValues::toInteger(value(ExpectedNumberOfPages))); }
    void setExpectedNumberOfPages(int count) { setValue(ExpectedNumberOfPages, qint64(count)); }
    bool isComplete() const { return StoreValues::toBool(value(IsComplete)); }
    void setIsComplete(bool complete) { setValue(IsComplete, complete); }
    // 0-based index of the page read last; negative: never opened.
    int lastPageRead() const;
    void setLastPageRead(int index) { setValue(LastPageRead, qint64(index)); }
    // Names the chapter's image directory.
    QString uuid() const { return stringValue(Uuid); }
    void setUuid(const QString &uuid) { setStringValue(Uuid, uuid); }

    std::shared_ptr<Book> book() const;
    void setBook(const Book *book);
    void setBook(const std::shared_ptr<Book> &book);
    // The pages in no particular order; readers sort by number.
    std::vector<std::shared_ptr<Page>> pages() const;
    void addPagesObject(Page &page);
    void removePagesObject(Page &page);
};
