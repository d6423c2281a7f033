#pragma once

#include <memory>
#include <vector>

#include <QString>
#include <QStringList>

#include "store/EntityDescription.h"

// The library's entities and their stored properties: Book, Chapter,
// Download (a sub-entity of Chapter, kept in Chapter's table), Page and
// Favorite. Immutable once built; shared by every thread.
class ManagedObjectModel
{
public:
    static const ManagedObjectModel &sharedModel();

    // nullptr for an unknown name.
    const EntityDescription *entityForName(const QString &name) const;
    const std::vector<std::unique_ptr<EntityDescription>> &entities() const { return entities_; }

    // The entity whose properties are the table's columns (the widest one:
    // Download for the chapters' table).
    const EntityDescription &tableEntity(StoreTable table) const;
    // The entity a row of the table is when its entity column says nothing else.
    const EntityDescription &rootEntity(StoreTable table) const;
    static QString tableName(StoreTable table);
    static const std::vector<StoreTable> &tables();
    // True when the table keeps an entity column (more than one entity in it).
    static bool hasEntityColumn(StoreTable table) { return table == StoreTable::Chapter; }

    // The SQL that deletes the row "?" of the table and, deepest first, every
    // row its cascading to-many relationships reach, so that rows a context
    // never read cannot be orphaned.
    QStringList deleteStatements(StoreTable table) const;

private:
    ManagedObjectModel();
    void appendCascadeDeletes(const EntityDescription &entity, const QString &ownerRows,
                              QStringList &statements) const;
    std::vector<std::unique_ptr<EntityDescription>> entities_;
};
