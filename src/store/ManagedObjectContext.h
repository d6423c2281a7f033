#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <QString>

#include "foundation/Error.h"
#include "store/ContextDidSaveNotification.h"
#include "store/FetchRequest.h"
#include "store/ManagedObject.h"

class PersistentStoreCoordinator;

// A scratch pad over the store: an identity map (one record per row) plus
// the records inserted, changed and deleted since the last save.
//
// - New records are unsaved until save(); fetches already see them, and see
//   this context's own changes and deletions.
// - save() writes everything as one transaction and then tells the did-save
//   observers which records it inserted, updated and deleted.
// - Deleting a book deletes its chapters, deleting a chapter its pages.
// - mergeChangesFromContextDidSaveNotification() brings another context's
//   saved changes in: deleted records leave, updated ones are re-read, and
//   properties changed here but not yet saved keep their values here.
//
// Thread contract: one context per thread. The shared context belongs to
// the main thread; background work makes its own context on the same
// coordinator and hands its did-save notification to the main thread for
// merging. Calls are serialised by a mutex all the same, so a stray use
// from another thread cannot corrupt the maps. Did-save observers run on
// the saving thread after every lock is released.
class ManagedObjectContext
{
public:
    explicit ManagedObjectContext(std::shared_ptr<PersistentStoreCoordinator> coordinator);
    ~ManagedObjectContext();
    ManagedObjectContext(const ManagedObjectContext &) = delete;
    ManagedObjectContext &operator=(const ManagedObjectContext &) = delete;

    PersistentStoreCoordinator *persistentStoreCoordinator() const { return coordinator_.get(); }

    // A new unsaved record of the entity, attributes at their defaults
    // (`lastPageRead` -1, everything else nil). nullptr for an unknown entity.
    std::shared_ptr<ManagedObject> insertNewObjectForEntityForName(const QString &entityName);
    template <typename T> std::shared_ptr<T> insertNewObject()
    {
        return std::dynamic_pointer_cast<T>(insertNewObjectForEntityForName(T::entityName()));
    }
    void deleteObject(const std::shared_ptr<ManagedObject> &object);

    // The records matching the request, sorted. On failure: empty, and the
    // error in `error` when given.
    std::vector<std::shared_ptr<ManagedObject>> executeFetchRequest(const FetchRequest &request,
                                                                    std::optional<Error> *error = nullptr);
    template <typename T>
    std::vector<std::shared_ptr<T>> fetch(const FetchRequest &request, std::optional<Error> *error = nullptr)
    {
        std::vector<std::shared_ptr<T>> out;
        for (auto &object : executeFetchRequest(request, error)) {
            if (auto typed = std::dynamic_pointer_cast<T>(object))
                out.push_back(std::move(typed));
        }
        return out;
    }

    // The registered record, or the saved row read in; nullptr when the
    // row does not exist (or the record was deleted by a merge).
    std::shared_ptr<ManagedObject> objectWithID(const ObjectID &id);

    bool hasChanges() const;
    std::vector<std::shared_ptr<ManagedObject>> insertedObjects() const;
    std::vector<std::shared_ptr<ManagedObject>> updatedObjects() const;
    std::vector<std::shared_ptr<ManagedObject>> deletedObjects() const;

    // Writes every change in one transaction. On failure nothing is written
    // and the changes stay here for a later save.
    std::optional<Error> save();
    // Forgets every record and every unsaved change.
    void reset();

    using DidSaveHandler = std::function<void(const ContextDidSaveNotification &)>;
    void addDidSaveObserver(const void *owner, DidSaveHandler handler);
    void removeDidSaveObserver(const void *owner);

    void mergeChangesFromContextDidSaveNotification(const ContextDidSaveNotification &notification);

private:
    friend class ManagedObject;
    void objectDidChange(ManagedObject &object);
    std::vector<std::shared_ptr<ManagedObject>> objectsRelatedTo(const ManagedObject &owner,
                                                                 const ToManyDescription &relationship);

    std::shared_ptr<ManagedObject> materialize(const EntityDescription &entity, ObjectID id,
                                               std::vector<StoreValue> values);
    std::optional<Error> readRow(ObjectID id, const EntityDescription **entity,
                                 std::vector<StoreValue> *values);
    // By value: callers may pass the identity map's own entry, which the
    // erase would free while it is still being written through.
    void forget(std::shared_ptr<ManagedObject> object);
    void deleteRecursively(const std::shared_ptr<ManagedObject> &object);

    // The steps of a fetch: the saved rows, then (when this context holds
    // unsaved changes that may matter) those changes merged in.
    bool hasPendingChangesIn(unsigned tableMask) const;
    std::optional<Error> fetchSavedRows(const QString &sql, const std::vector<StoreValue> &binds,
                                        StoreTable table,
                                        std::vector<std::shared_ptr<ManagedObject>> &results);
    std::vector<std::shared_ptr<ManagedObject>>
    mergedWithPendingChanges(std::vector<std::shared_ptr<ManagedObject>> saved, const FetchRequest &request,
                             const EntityDescription &entity) const;

    // The steps of a save, inside its transaction, then after it.
    std::optional<Error> insertRows(const std::vector<ObjectID> &ids);
    std::optional<Error> updateRows(const std::vector<ObjectID> &ids);
    std::optional<Error> deleteRows(const std::vector<ObjectID> &ids);
    void markSaved(const ContextDidSaveNotification &notification);

    std::shared_ptr<PersistentStoreCoordinator> coordinator_;
    mutable std::recursive_mutex mutex_;
    std::unordered_map<ObjectID, std::shared_ptr<ManagedObject>, ObjectIDHash> registered_;
    std::unordered_set<ObjectID, ObjectIDHash> inserted_;
    std::unordered_set<ObjectID, ObjectIDHash> updated_;
    std::unordered_set<ObjectID, ObjectIDHash> deleted_;
    std::vector<std::pair<const void *, DidSaveHandler>> observers_;
};
