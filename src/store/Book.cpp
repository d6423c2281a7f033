#include "store/Book.h"

#include "store/Chapter.h"

std::optional<Decimal> Book::lastChapterNumberRead() const
{
    if (const auto *d = std::get_if<Decimal>(&value(LastChapterNumberRead)))
        return *d;
    return std::nullopt;
}

void Book::setLastChapterNumberRead(const std::optional<Decimal> &number)
{
    setValue(LastChapterNumberRead, number ? StoreValue(*number) : StoreValue());
}

std::vector<std::shared_ptr<Chapter>> Book::chapters() const
{
    return related<Chapter>(QStringLiteral("chapters"));
}

void Book::addChaptersObject(Chapter &chapter)
{
    chapter.setBook(this);
}

void Book::removeChaptersObject(Chapter &chapter)
{
    if (chapter.valueForKey(QStringLiteral("book")) == StoreValue(objectID()))
        chapter.setBook(nullptr);
}
