#include "store/EntityDescription.h"

EntityDescription::EntityDescription(QString name, StoreTable table, const EntityDescription *superentity,
                                     std::vector<PropertyDescription> ownProperties,
                                     std::vector<ToManyDescription> toMany, ObjectMaker maker)
    : name_(std::move(name)), table_(table), superentity_(superentity), toMany_(std::move(toMany)),
      maker_(maker)
{
    if (superentity_) {
        properties_ = superentity_->properties();
        toMany_.insert(toMany_.begin(), superentity_->toManyRelationships().begin(),
                       superentity_->toManyRelationships().end());
    }
    properties_.insert(properties_.end(), ownProperties.begin(), ownProperties.end());
}

int EntityDescription::indexOfProperty(const QString &name) const
{
    for (size_t i = 0; i < properties_.size(); ++i) {
        if (properties_[i].name == name)
            return int(i);
    }
    return -1;
}

const ToManyDescription *EntityDescription::toManyRelationship(const QString &name) const
{
    for (const auto &relationship : toMany_) {
        if (relationship.name == name)
            return &relationship;
    }
    return nullptr;
}

bool EntityDescription::isKindOf(const EntityDescription &other) const
{
    for (const EntityDescription *e = this; e; e = e->superentity()) {
        if (e == &other)
            return true;
    }
    return false;
}
