#pragma once

#include <vector>

#include "store/ObjectID.h"

class ManagedObjectContext;

// What one successful save changed in the store. Deleted lists every record
// the save removed, the cascaded ones included.
struct ContextDidSaveNotification {
    const ManagedObjectContext *context = nullptr; // the context that saved; identity only
    std::vector<ObjectID> insertedObjects;
    std::vector<ObjectID> updatedObjects;
    std::vector<ObjectID> deletedObjects;
};
