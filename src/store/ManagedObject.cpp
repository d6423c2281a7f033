#include "store/ManagedObject.h"

#include "store/ManagedObjectContext.h"

ManagedObject::ManagedObject(const EntityDescription &entity, ObjectID id)
    : entity_(&entity), id_(id), values_(entity.properties().size()),
      changed_(entity.properties().size(), false)
{}

ManagedObject::~ManagedObject() = default;

bool ManagedObject::isUpdated() const
{
    if (inserted_ || deleted_)
        return false;
    for (bool c : changed_) {
        if (c)
            return true;
    }
    return false;
}

StoreValue ManagedObject::valueForKey(const QString &key) const
{
    const int index = entity_->indexOfProperty(key);
    return index < 0 ? StoreValue() : value(index);
}

void ManagedObject::setValueForKey(const QString &key, const StoreValue &value)
{
    const int index = entity_->indexOfProperty(key);
    if (index >= 0)
        setValue(index, value);
}

StoreValue ManagedObject::valueForKeyPath(const QString &keyPath) const
{
    const qsizetype dot = keyPath.indexOf(u'.');
    if (dot < 0)
        return valueForKey(keyPath);
    const auto next = objectForKey(keyPath.left(dot));
    return next ? next->valueForKeyPath(keyPath.mid(dot + 1)) : StoreValue();
}

std::shared_ptr<ManagedObject> ManagedObject::objectForKey(const QString &key) const
{
    const int index = entity_->indexOfProperty(key);
    if (index < 0 || entity_->properties()[size_t(index)].type != AttributeType::ToOne)
        return nullptr;
    return destination(index);
}

std::vector<std::shared_ptr<ManagedObject>> ManagedObject::objectsForKey(const QString &key) const
{
    const ToManyDescription *relationship = entity_->toManyRelationship(key);
    if (!relationship || !context_)
        return {};
    return context_->objectsRelatedTo(*this, *relationship);
}

void ManagedObject::setValue(int index, StoreValue v)
{
    StoreValue &slot = values_[size_t(index)];
    if (slot.index() == v.index() && StoreValues::equal(slot, v))
        return;
    slot = std::move(v);
    if (context_ && !deleted_) {
        changed_[size_t(index)] = true;
        context_->objectDidChange(*this);
    }
}

void ManagedObject::setStringValue(int index, const QString &text)
{
    setValue(index, text.isNull() ? StoreValue() : StoreValue(text));
}

std::shared_ptr<ManagedObject> ManagedObject::destination(int index) const
{
    const auto *id = std::get_if<ObjectID>(&value(index));
    if (!id || !context_)
        return nullptr;
    return context_->objectWithID(*id);
}

void ManagedObject::setDestination(int index, const ManagedObject *object)
{
    setValue(index, object ? StoreValue(object->objectID()) : StoreValue());
}
