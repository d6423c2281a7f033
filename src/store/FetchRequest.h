#pragma once

#include <vector>

#include <QString>

#include "store/Predicate.h"
#include "store/SortDescriptor.h"

// What to fetch: an entity (its sub-entities included: a fetch of
// "Chapter" also returns downloads), a predicate and a sort order. Ready-made
// requests of the library subclass it and fill these in their constructors.
// Executed by ManagedObjectContext::executeFetchRequest.
class FetchRequest
{
public:
    FetchRequest() = default;
    explicit FetchRequest(QString entityName, Predicate predicate = {},
                          std::vector<SortDescriptor> sortDescriptors = {});
    virtual ~FetchRequest() = default;

    const QString &entityName() const { return entityName_; }
    void setEntityName(const QString &name) { entityName_ = name; }
    const Predicate &predicate() const { return predicate_; }
    void setPredicate(const Predicate &predicate) { predicate_ = predicate; }
    const std::vector<SortDescriptor> &sortDescriptors() const { return sortDescriptors_; }
    void setSortDescriptors(const std::vector<SortDescriptor> &descriptors)
    {
        sortDescriptors_ = descriptors;
    }

private:
    QString entityName_;
    Predicate predicate_;
    std::vector<SortDescriptor> sortDescriptors_;
};
