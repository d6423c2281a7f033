#include "store/Chapter.h"

#include "store/Book.h"
#include "store/Page.h"

std::optional<Decimal> Chapter::number() const
{
    if (const auto *d = std::get_if<Decimal>(&value(Number)))
        return *d;
    return std::nullopt;
}

void Chapter::setNumber(const std::optional<Decimal> &number)
{
    setValue(Number, number ? StoreValue(*number) : StoreValue());
}

int Chapter::lastPageRead() const
{
    // nil reads as "never opened", like the default.
    return StoreValues::isNil(value(LastPageRead)) ? -1 : int(StoreValues::toInteger(value(LastPageRead)));
}

std::shared_ptr<Book> Chapter::book() const
{
    return std::dynamic_pointer_cast<Book>(destination(BookRelationship));
}

void Chapter::setBook(const Book *book)
{
    setDestination(BookRelationship, book);
}

void Chapter::setBook(const std::shared_ptr<Book> &book)
{
    setDestination(BookRelationship, book.get());
}

std::vector<std::shared_ptr<Page>> Chapter::pages() const
{
    return related<Page>(QStringLiteral("pages"));
}

void Chapter::addPagesObject(Page &page)
{
    page.setChapter(this);
}

void Chapter::removePagesObject(Page &page)
{
    if (page.valueForKey(QStringLiteral("chapter")) == StoreValue(objectID()))
        page.setChapter(nullptr);
}
