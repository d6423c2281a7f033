#include "store/ManagedObjectModel.h"

#include "store/Book.h"
#include "store/Chapter.h"
#include "store/Download.h"
#include "store/Favorite.h"
#include "store/Page.h"

namespace {

PropertyDescription attribute(const char *name, AttributeType type, StoreValue defaultValue = {})
{
    return PropertyDescription{QString::fromLatin1(name), type, std::move(defaultValue), QString(),
                               StoreTable::Book};
}

PropertyDescription toOne(const char *name, const char *destination, StoreTable table)
{
    return PropertyDescription{
        QString::fromLatin1(name), AttributeType::ToOne, {}, QString::fromLatin1(destination), table};
}

ToManyDescription toMany(const char *name, const char *destination, const char *inverse)
{
    return ToManyDescription{QString::fromLatin1(name), QString::fromLatin1(destination),
                             QString::fromLatin1(inverse), true};
}

template <class T> std::shared_ptr<ManagedObject> make(const EntityDescription &entity, ObjectID id)
{
    return std::make_shared<T>(entity, id);
}

QString quoted(const QString &name)
{
    return u'"' + name + u'"';
}

} // namespace

const ManagedObjectModel &ManagedObjectModel::sharedModel()
{
    static const ManagedObjectModel model;
    return model;
}

ManagedObjectModel::ManagedObjectModel()
{
    using T = AttributeType;
    // The order of each list is the order of the typed classes' property
    // indices (Book::Title, ...) and of the table's columns.
    auto book = std::make_unique<EntityDescription>(
        QStringLiteral("Book"), StoreTable::Book, nullptr,
        std::vector<PropertyDescription>{attribute("title", T::String), attribute("rootTitle", T::String),
                                         attribute("uuid", T::String),
                                         attribute("lastChapterNumberRead", T::Decimal)},
        std::vector<ToManyDescription>{toMany("chapters", "Chapter", "book")}, make<Book>);
    auto chapter = std::make_unique<EntityDescription>(
        QStringLiteral("Chapter"), StoreTable::Chapter, nullptr,
        std::vector<PropertyDescription>{
            attribute("title", T::String), attribute("number", T::Decimal),
            attribute("expectedNumberOfPages", T::Integer), attribute("isComplete", T::Boolean),
            attribute("lastPageRead", T::Integer, qint64(-1)), attribute("uuid", T::String),
            toOne("book", "Book", StoreTable::Book)},
        std::vector<ToManyDescription>{toMany("pages", "Page", "chapter")}, make<Chapter>);
    auto download = std::make_unique<EntityDescription>(
        QStringLiteral("Download"), StoreTable::Chapter, chapter.get(),
        std::vector<PropertyDescription>{attribute("rootTitle", T::String), attribute("bookTitle", T::String),
                                         attribute("firstPageURL", T::String), attribute("date", T::Date),
                                         attribute("isQueued", T::Boolean),
                                         attribute("isDownloading", T::Boolean),
                                         attribute("nextChapterURL", T::String)},
        std::vector<ToManyDescription>{}, make<Download>);
    auto page = std::make_unique<EntityDescription>(
        QStringLiteral("Page"), StoreTable::Page, nullptr,
        std::vector<PropertyDescription>{
            attribute("number", T::Integer), attribute("url", T::String), attribute("uuid", T::String),
            attribute("width", T::Double), attribute("height", T::Double), attribute("leftBorder", T::Double),
            attribute("rightBorder", T::Double), attribute("isDownloaded", T::Boolean),
            attribute("errorString", T::String), attribute("isGray", T::Boolean),
            toOne("chapter", "Chapter", StoreTable::Chapter)},
        std::vector<ToManyDescription>{}, make<Page>);
    auto favorite = std::make_unique<EntityDescription>(
        QStringLiteral("Favorite"), StoreTable::Favorite, nullptr,
        std::vector<PropertyDescription>{attribute("title", T::String), attribute("urlString", T::String),
                                         attribute("rootURLString", T::String),
                                         attribute("rootTitle", T::String)},
        std::vector<ToManyDescription>{}, make<Favorite>);

    Q_ASSERT(book->indexOfProperty(QStringLiteral("lastChapterNumberRead")) == Book::LastChapterNumberRead);
    Q_ASSERT(chapter->indexOfProperty(QStringLiteral("book")) == Chapter::BookRelationship);
    Q_ASSERT(download->indexOfProperty(QStringLiteral("nextChapterURL")) == Download::NextChapterURL);
    Q_ASSERT(page->indexOfProperty(QStringLiteral("isGray")) == Page::IsGray);
    Q_ASSERT(page->indexOfProperty(QStringLiteral("chapter")) == Page::ChapterRelationship);
    Q_ASSERT(favorite->indexOfProperty(QStringLiteral("rootTitle")) == Favorite::RootTitle);

    entities_.push_back(std::move(book));
    entities_.push_back(std::move(chapter));
    entities_.push_back(std::move(download));
    entities_.push_back(std::move(page));
    entities_.push_back(std::move(favorite));
}

const EntityDescription *ManagedObjectModel::entityForName(const QString &name) const
{
    for (const auto &entity : entities_) {
        if (entity->name() == name)
            return entity.get();
    }
    return nullptr;
}

const EntityDescription &ManagedObjectModel::tableEntity(StoreTable table) const
{
    switch (table) {
    case StoreTable::Book:
        return *entities_[0];
    case StoreTable::Chapter:
        return *entities_[2];
    case StoreTable::Page:
        return *entities_[3];
    case StoreTable::Favorite:
        break;
    }
    return *entities_[4];
}

const EntityDescription &ManagedObjectModel::rootEntity(StoreTable table) const
{
    return table == StoreTable::Chapter ? *entities_[1] : tableEntity(table);
}

QString ManagedObjectModel::tableName(StoreTable table)
{
    switch (table) {
    case StoreTable::Book:
        return QStringLiteral("Book");
    case StoreTable::Chapter:
        return QStringLiteral("Chapter");
    case StoreTable::Page:
        return QStringLiteral("Page");
    case StoreTable::Favorite:
        break;
    }
    return QStringLiteral("Favorite");
}

const std::vector<StoreTable> &ManagedObjectModel::tables()
{
    static const std::vector<StoreTable> all{StoreTable::Book, StoreTable::Chapter, StoreTable::Page,
                                             StoreTable::Favorite};
    return all;
}

void ManagedObjectModel::appendCascadeDeletes(const EntityDescription &entity, const QString &ownerRows,
                                              QStringList &statements) const
{
    for (const ToManyDescription &relationship : entity.toManyRelationships()) {
        if (!relationship.cascadeDelete)
            continue;
        const EntityDescription *destination = entityForName(relationship.destinationEntityName);
        if (!destination)
            continue;
        const QString table = quoted(tableName(destination->table()));
        const QString dependents = quoted(relationship.inverseName) + ownerRows;
        // The dependents' own dependents go first, while they can still be found.
        appendCascadeDeletes(*destination,
                             QStringLiteral(" IN (SELECT \"id\" FROM ") + table + QStringLiteral(" WHERE ") +
                                 dependents + u')',
                             statements);
        statements << QStringLiteral("DELETE FROM ") + table + QStringLiteral(" WHERE ") + dependents;
    }
}

QStringList ManagedObjectModel::deleteStatements(StoreTable table) const
{
    QStringList statements;
    appendCascadeDeletes(rootEntity(table), QStringLiteral(" = ?"), statements);
    statements << QStringLiteral("DELETE FROM ") + quoted(tableName(table)) +
                      QStringLiteral(" WHERE \"id\" = ?");
    return statements;
}
