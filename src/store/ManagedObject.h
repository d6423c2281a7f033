#pragma once

#include <memory>
#include <vector>

#include <QString>

#include "store/EntityDescription.h"
#include "store/ObjectID.h"
#include "store/StoreValue.h"

class ManagedObjectContext;

// A record of the store, held by its context's identity map: one object per
// row and context. Book, Chapter, Download, Page and Favorite add typed
// accessors named after the attribute keys.
//
// Thread contract: a record belongs to the thread of its context.
// Lifetime: callers may keep a record (shared_ptr) after it was deleted or
// its context went away; it then keeps its last values, its context is
// null, and changing it changes nothing in the store.
class ManagedObject : public std::enable_shared_from_this<ManagedObject>
{
public:
    ManagedObject(const EntityDescription &entity, ObjectID id);
    virtual ~ManagedObject();
    ManagedObject(const ManagedObject &) = delete;
    ManagedObject &operator=(const ManagedObject &) = delete;

    const EntityDescription &entity() const { return *entity_; }
    const QString &entityName() const { return entity_->name(); }
    ObjectID objectID() const { return id_; }
    // Null once the record is deleted and saved, merged away, or its
    // context is gone.
    ManagedObjectContext *managedObjectContext() const { return context_; }

    bool isInserted() const { return inserted_; }
    bool isDeleted() const { return deleted_; }
    bool isUpdated() const;
    bool hasChanges() const { return inserted_ || deleted_ || isUpdated(); }

    // Attributes and to-one relationships by key (a to-one reads as the
    // destination's ObjectID). An unknown key reads nil and writes nothing.
    StoreValue valueForKey(const QString &key) const;
    void setValueForKey(const QString &key, const StoreValue &value);
    // Follows to-one relationships: "book.title".
    StoreValue valueForKeyPath(const QString &keyPath) const;
    // The destination of a to-one relationship (nullptr when nil).
    std::shared_ptr<ManagedObject> objectForKey(const QString &key) const;
    // The records of a to-many relationship, in no particular order.
    std::vector<std::shared_ptr<ManagedObject>> objectsForKey(const QString &key) const;

protected:
    const StoreValue &value(int index) const { return values_[size_t(index)]; }
    void setValue(int index, StoreValue value);
    QString stringValue(int index) const { return StoreValues::toString(value(index)); }
    // A null QString stores nil.
    void setStringValue(int index, const QString &text);
    std::shared_ptr<ManagedObject> destination(int index) const;
    void setDestination(int index, const ManagedObject *object);
    template <typename T> std::vector<std::shared_ptr<T>> related(const QString &toManyKey) const
    {
        std::vector<std::shared_ptr<T>> out;
        for (auto &object : objectsForKey(toManyKey)) {
            if (auto typed = std::dynamic_pointer_cast<T>(object))
                out.push_back(std::move(typed));
        }
        return out;
    }

private:
    friend class ManagedObjectContext;

    const EntityDescription *entity_;
    ObjectID id_;
    ManagedObjectContext *context_ = nullptr;
    std::vector<StoreValue> values_;
    std::vector<bool> changed_; // properties set since the last save
    bool inserted_ = false;
    bool deleted_ = false;
};
