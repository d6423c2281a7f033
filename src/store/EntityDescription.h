#pragma once

#include <memory>
#include <vector>

#include <QString>

#include "store/ObjectID.h"
#include "store/StoreValue.h"

class EntityDescription;
class ManagedObject;

enum class AttributeType { String, Integer, Boolean, Double, Decimal, Date, ToOne };

// One stored property: an attribute or a to-one relationship (a row id in
// a column named after the relationship).
struct PropertyDescription {
    QString name;
    AttributeType type = AttributeType::String;
    StoreValue defaultValue;       // given to new records; nil for most
    QString destinationEntityName; // to-one only
    StoreTable destinationTable = StoreTable::Book;
};

// A to-many relationship: the records of the destination whose to-one
// `inverseName` points back. Cascade deletes them with their owner.
struct ToManyDescription {
    QString name;
    QString destinationEntityName;
    QString inverseName;
    bool cascadeDelete = true;
};

// An entity of the model. A sub-entity lists its parent's properties first,
// in the same order, so a property's index is the same in both, and has its
// parent's to-many relationships too.
class EntityDescription
{
public:
    // Builds a record of the entity's own class (Book, Chapter, ...).
    using ObjectMaker = std::shared_ptr<ManagedObject> (*)(const EntityDescription &entity, ObjectID id);

    EntityDescription(QString name, StoreTable table, const EntityDescription *superentity,
                      std::vector<PropertyDescription> ownProperties, std::vector<ToManyDescription> toMany,
                      ObjectMaker maker);

    const QString &name() const { return name_; }
    StoreTable table() const { return table_; }
    const EntityDescription *superentity() const { return superentity_; }
    const std::vector<PropertyDescription> &properties() const { return properties_; }
    const std::vector<ToManyDescription> &toManyRelationships() const { return toMany_; }

    // -1 when the entity has no such stored property.
    int indexOfProperty(const QString &name) const;
    const ToManyDescription *toManyRelationship(const QString &name) const;
    // True for the entity itself and for its sub-entities.
    bool isKindOf(const EntityDescription &other) const;
    std::shared_ptr<ManagedObject> makeObject(ObjectID id) const { return maker_(*this, id); }

private:
    QString name_;
    StoreTable table_;
    const EntityDescription *superentity_;
    std::vector<PropertyDescription> properties_;
    std::vector<ToManyDescription> toMany_;
    ObjectMaker maker_;
};
