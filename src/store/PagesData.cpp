#include "store/PagesData.h"

#include "store/ManagedObjectContext.h"

PagesData::PagesData(std::shared_ptr<Chapter> chapter) : chapter_(std::move(chapter))
{
    fetchPages();
}

void PagesData::fetchPages()
{
    pages_.clear();
    if (!chapter_ || !chapter_->managedObjectContext())
        return;
    const FetchRequest request(
        Page::entityName(),
        Predicate::comparison(QStringLiteral("chapter"), Predicate::Operator::Equal, chapter_->objectID()),
        {SortDescriptor{QStringLiteral("number")}});
    pages_ = chapter_->managedObjectContext()->fetch<Page>(request);
}
