#include "store/ManagedObjectContext.h"

#include <algorithm>

#include <sqlite3.h>

#include <QHash>
#include <QStringList>

#include "store/ManagedObjectModel.h"
#include "store/PersistentStoreCoordinator.h"
#include "store/StoreCollation.h"

namespace {

const ManagedObjectModel &model()
{
    return ManagedObjectModel::sharedModel();
}

QString quoted(const QString &name)
{
    return u'"' + name + u'"';
}

// "t0.id, t0.entity, t0.title, ...": the layout decodeRow() reads.
QString selectColumns(StoreTable table)
{
    QStringList columns{QStringLiteral("t0.\"id\"")};
    if (ManagedObjectModel::hasEntityColumn(table))
        columns << QStringLiteral("t0.\"entity\"");
    for (const auto &property : model().tableEntity(table).properties())
        columns << QStringLiteral("t0.") + quoted(property.name);
    return columns.join(QStringLiteral(", "));
}

const EntityDescription &rowEntity(sqlite3_stmt *s, StoreTable table)
{
    if (ManagedObjectModel::hasEntityColumn(table)) {
        const QString name = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 1)));
        if (const EntityDescription *entity = model().entityForName(name); entity && entity->table() == table)
            return *entity;
    }
    return model().rootEntity(table);
}

std::vector<StoreValue> decodeValues(sqlite3_stmt *s, const EntityDescription &entity)
{
    const int first = ManagedObjectModel::hasEntityColumn(entity.table()) ? 2 : 1;
    const auto &properties = entity.properties();
    std::vector<StoreValue> values(properties.size());
    for (size_t i = 0; i < properties.size(); ++i)
        values[i] = PersistentStoreCoordinator::columnValue(s, first + int(i), properties[i]);
    return values;
}

struct Expression {
    QString sql;
    const PropertyDescription *property = nullptr;
};

// A key path as an SQL expression over alias t0; to-one steps become
// scalar sub-queries on the destination's primary key.
std::optional<Expression> keyPathExpression(StoreTable table, const QString &alias, QStringView path,
                                            int *aliases, unsigned *tablesRead)
{
    *tablesRead |= 1u << unsigned(table);
    const qsizetype dot = path.indexOf(u'.');
    const QString head = (dot < 0 ? path : path.left(dot)).toString();
    const EntityDescription &entity = model().tableEntity(table);
    const int index = entity.indexOfProperty(head);
    if (index < 0)
        return std::nullopt;
    const PropertyDescription &property = entity.properties()[size_t(index)];
    const QString column = alias + u'.' + quoted(head);
    if (dot < 0)
        return Expression{column, &property};
    if (property.type != AttributeType::ToOne)
        return std::nullopt;
    const QString inner = u't' + QString::number(++*aliases);
    auto rest = keyPathExpression(property.destinationTable, inner, path.mid(dot + 1), aliases, tablesRead);
    if (!rest)
        return std::nullopt;
    rest->sql = QStringLiteral("(SELECT ") + rest->sql + QStringLiteral(" FROM ") +
                quoted(ManagedObjectModel::tableName(property.destinationTable)) + QStringLiteral(" AS ") +
                inner + QStringLiteral(" WHERE ") + inner + QStringLiteral(".\"id\" = ") + column + u')';
    return rest;
}

// The argument as the property's stored kind, the way the in-memory
// comparison sees it; nullopt when the two can never be equal.
std::optional<StoreValue> coerce(const StoreValue &value, AttributeType type)
{
    const bool numeric = std::holds_alternative<bool>(value) || std::holds_alternative<qint64>(value) ||
                         std::holds_alternative<double>(value) || std::holds_alternative<Decimal>(value);
    switch (type) {
    case AttributeType::String:
        if (std::holds_alternative<QString>(value))
            return value;
        return std::nullopt;
    case AttributeType::Integer:
    case AttributeType::Boolean:
    case AttributeType::Double:
        if (!numeric)
            return std::nullopt;
        if (std::holds_alternative<Decimal>(value))
            return StoreValues::toDouble(value);
        return value;
    case AttributeType::Decimal:
        if (!numeric)
            return std::nullopt;
        if (const auto *d = std::get_if<Decimal>(&value))
            return *d;
        if (std::holds_alternative<double>(value))
            return Decimal::fromString(QString::number(std::get<double>(value), 'g', 17));
        return Decimal(static_cast<long long>(StoreValues::toInteger(value)));
    case AttributeType::Date:
        if (std::holds_alternative<QDateTime>(value))
            return value;
        return std::nullopt;
    case AttributeType::ToOne:
        if (std::holds_alternative<ObjectID>(value))
            return value;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<Error> invalid(const QString &message)
{
    return Error{PersistentStoreCoordinator::ErrorDomain, SQLITE_ERROR, message};
}

// `tablesRead` gets a bit per table whose rows decide the answer. With
// `ownAttributesOnly`, comparisons through relationships are left to the
// caller (unsaved changes of the related records would escape SQL).
std::optional<Error> buildSelect(const FetchRequest &request, const EntityDescription &entity,
                                 bool ownAttributesOnly, QString *sql, std::vector<StoreValue> *binds,
                                 unsigned *tablesRead)
{
    const StoreTable table = entity.table();
    *tablesRead = 1u << unsigned(table);
    int aliases = 0;
    QStringList where;
    if (ManagedObjectModel::hasEntityColumn(table) && entity.superentity())
        where << QStringLiteral("t0.\"entity\" = '") + entity.name() + u'\'';
    for (const auto &c : request.predicate().comparisons()) {
        auto expression = keyPathExpression(table, QStringLiteral("t0"), c.keyPath, &aliases, tablesRead);
        if (!expression)
            return invalid(
                QStringLiteral("Unknown key path \"%1\" for entity %2").arg(c.keyPath, entity.name()));
        if (ownAttributesOnly && c.keyPath.contains(u'.'))
            continue;
        const bool equality = c.op == Predicate::Operator::Equal || c.op == Predicate::Operator::NotEqual;
        const bool negated = c.op == Predicate::Operator::NotEqual;
        if (equality && StoreValues::isNil(c.value)) {
            where << expression->sql +
                         (negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"));
            continue;
        }
        const auto value = coerce(c.value, expression->property->type);
        if (!equality) {
            if (!value || expression->property->type != AttributeType::String) {
                where << QStringLiteral("0");
                continue;
            }
            where << QStringLiteral("yomora_like(") + expression->sql + QStringLiteral(", ?, ") +
                         (c.op == Predicate::Operator::LikeCaseInsensitive ? u'1' : u'0') + u')';
            binds->push_back(*value);
            continue;
        }
        if (!value) {
            where << (negated ? QStringLiteral("1") : QStringLiteral("0"));
            continue;
        }
        const QString collate = expression->property->type == AttributeType::Decimal
                                    ? QStringLiteral(" COLLATE DECIMAL")
                                    : QString();
        where << expression->sql + (negated ? QStringLiteral(" IS NOT ?") : QStringLiteral(" IS ?")) +
                     collate;
        binds->push_back(*value);
    }
    QStringList order;
    for (const auto &sort : request.sortDescriptors()) {
        auto expression = keyPathExpression(table, QStringLiteral("t0"), sort.key, &aliases, tablesRead);
        if (!expression)
            return invalid(
                QStringLiteral("Unknown sort key \"%1\" for entity %2").arg(sort.key, entity.name()));
        QString term = expression->sql;
        if (expression->property->type == AttributeType::Decimal)
            term += QStringLiteral(" COLLATE DECIMAL");
        else if (expression->property->type == AttributeType::String &&
                 sort.comparison == SortDescriptor::Comparison::LocalizedCaseInsensitive)
            term += QStringLiteral(" COLLATE LOCALIZED");
        order << term + (sort.ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC"));
    }
    order << QStringLiteral("t0.\"id\" ASC");
    *sql = QStringLiteral("SELECT ") + selectColumns(table) + QStringLiteral(" FROM ") +
           quoted(ManagedObjectModel::tableName(table)) + QStringLiteral(" AS t0");
    if (!where.isEmpty())
        *sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    *sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
    return std::nullopt;
}

// The in-memory twin of buildSelect's ORDER BY.
bool sortsBefore(const ManagedObject &a, const ManagedObject &b, const std::vector<SortDescriptor> &sorts)
{
    for (const auto &sort : sorts) {
        const StoreValue x = a.valueForKeyPath(sort.key);
        const StoreValue y = b.valueForKeyPath(sort.key);
        int order;
        if (sort.comparison == SortDescriptor::Comparison::LocalizedCaseInsensitive &&
            std::holds_alternative<QString>(x) && std::holds_alternative<QString>(y))
            order =
                StoreCollation::localizedCaseInsensitiveCompare(std::get<QString>(x), std::get<QString>(y));
        else
            order = StoreValues::compare(x, y);
        if (order != 0)
            return sort.ascending ? order < 0 : order > 0;
    }
    return a.objectID().row < b.objectID().row;
}

const QString &insertSql(const EntityDescription &entity)
{
    static const QHash<const EntityDescription *, QString> statements = [] {
        QHash<const EntityDescription *, QString> out;
        for (const auto &e : model().entities()) {
            QStringList columns{QStringLiteral("\"id\"")};
            if (ManagedObjectModel::hasEntityColumn(e->table()))
                columns << QStringLiteral("\"entity\"");
            for (const auto &property : e->properties())
                columns << quoted(property.name);
            QStringList marks;
            for (qsizetype i = 0; i < columns.size(); ++i)
                marks << QStringLiteral("?");
            out.insert(e.get(), QStringLiteral("INSERT INTO ") +
                                    quoted(ManagedObjectModel::tableName(e->table())) + QStringLiteral(" (") +
                                    columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                                    marks.join(QStringLiteral(", ")) + u')');
        }
        return out;
    }();
    return *statements.find(&entity);
}

std::vector<ObjectID> sortedIDs(const std::unordered_set<ObjectID, ObjectIDHash> &ids)
{
    std::vector<ObjectID> out(ids.begin(), ids.end());
    std::sort(out.begin(), out.end(), [](const ObjectID &a, const ObjectID &b) {
        return a.table != b.table ? a.table < b.table : a.row < b.row;
    });
    return out;
}

} // namespace

ManagedObjectContext::ManagedObjectContext(std::shared_ptr<PersistentStoreCoordinator> coordinator)
    : coordinator_(std::move(coordinator))
{}

ManagedObjectContext::~ManagedObjectContext()
{
    reset();
}

std::shared_ptr<ManagedObject>
ManagedObjectContext::insertNewObjectForEntityForName(const QString &entityName)
{
    const EntityDescription *entity = model().entityForName(entityName);
    if (!entity)
        return nullptr;
    std::lock_guard lock(mutex_);
    auto object = entity->makeObject(coordinator_->newObjectID(entity->table()));
    for (size_t i = 0; i < entity->properties().size(); ++i)
        object->values_[i] = entity->properties()[i].defaultValue;
    object->inserted_ = true;
    object->context_ = this;
    registered_.emplace(object->objectID(), object);
    inserted_.insert(object->objectID());
    return object;
}

void ManagedObjectContext::deleteObject(const std::shared_ptr<ManagedObject> &object)
{
    std::lock_guard lock(mutex_);
    if (!object || object->context_ != this || object->deleted_)
        return;
    deleteRecursively(object);
}

void ManagedObjectContext::deleteRecursively(const std::shared_ptr<ManagedObject> &object)
{
    if (object->deleted_)
        return;
    std::vector<std::shared_ptr<ManagedObject>> dependents;
    for (const auto &relationship : object->entity().toManyRelationships()) {
        if (!relationship.cascadeDelete)
            continue;
        auto related = objectsRelatedTo(*object, relationship);
        dependents.insert(dependents.end(), related.begin(), related.end());
    }
    object->deleted_ = true;
    if (object->inserted_) {
        // Never stored: it simply goes away.
        forget(object);
    } else {
        updated_.erase(object->objectID());
        deleted_.insert(object->objectID());
    }
    for (const auto &dependent : dependents)
        deleteRecursively(dependent);
}

void ManagedObjectContext::forget(std::shared_ptr<ManagedObject> object)
{
    const ObjectID id = object->objectID();
    registered_.erase(id);
    inserted_.erase(id);
    updated_.erase(id);
    deleted_.erase(id);
    object->context_ = nullptr;
}

void ManagedObjectContext::objectDidChange(ManagedObject &object)
{
    std::lock_guard lock(mutex_);
    if (!object.inserted_ && !object.deleted_)
        updated_.insert(object.objectID());
}

std::vector<std::shared_ptr<ManagedObject>>
ManagedObjectContext::objectsRelatedTo(const ManagedObject &owner, const ToManyDescription &relationship)
{
    const FetchRequest request(
        relationship.destinationEntityName,
        Predicate::comparison(relationship.inverseName, Predicate::Operator::Equal, owner.objectID()));
    return executeFetchRequest(request);
}

std::shared_ptr<ManagedObject> ManagedObjectContext::materialize(const EntityDescription &entity, ObjectID id,
                                                                 std::vector<StoreValue> values)
{
    auto object = entity.makeObject(id);
    object->values_ = std::move(values);
    object->context_ = this;
    registered_.emplace(id, object);
    return object;
}

std::vector<std::shared_ptr<ManagedObject>>
ManagedObjectContext::executeFetchRequest(const FetchRequest &request, std::optional<Error> *error)
{
    std::lock_guard lock(mutex_);
    auto fail = [&](std::optional<Error> e) {
        if (error)
            *error = std::move(e);
        return std::vector<std::shared_ptr<ManagedObject>>();
    };
    const EntityDescription *entity = model().entityForName(request.entityName());
    if (!entity)
        return fail(invalid(QStringLiteral("Unknown entity \"%1\"").arg(request.entityName())));
    if (!request.predicate().isValid())
        return fail(invalid(request.predicate().invalidReason()));
    QString sql;
    std::vector<StoreValue> binds;
    unsigned tablesRead = 0;
    if (auto e = buildSelect(request, *entity, false, &sql, &binds, &tablesRead))
        return fail(e);
    // Unsaved changes elsewhere (pages being fetched, say) cannot change
    // this answer; then the rows from SQL are the whole of it.
    const unsigned ownTable = 1u << unsigned(entity->table());
    const bool relatedPending = hasPendingChangesIn(tablesRead & ~ownTable);
    const bool pending = relatedPending || hasPendingChangesIn(ownTable);
    if (relatedPending) {
        binds.clear();
        if (auto e = buildSelect(request, *entity, true, &sql, &binds, &tablesRead))
            return fail(e);
    }

    std::vector<std::shared_ptr<ManagedObject>> results;
    if (auto e = fetchSavedRows(sql, binds, entity->table(), results))
        return fail(e);
    if (error)
        error->reset();
    if (!pending)
        return results;
    return mergedWithPendingChanges(std::move(results), request, *entity);
}

bool ManagedObjectContext::hasPendingChangesIn(unsigned tableMask) const
{
    for (const auto *ids : {&inserted_, &updated_, &deleted_}) {
        for (const ObjectID &id : *ids) {
            if (tableMask & (1u << unsigned(id.table)))
                return true;
        }
    }
    return false;
}

std::optional<Error>
ManagedObjectContext::fetchSavedRows(const QString &sql, const std::vector<StoreValue> &binds,
                                     StoreTable table, std::vector<std::shared_ptr<ManagedObject>> &results)
{
    return coordinator_->select(sql, binds, [&](sqlite3_stmt *s) {
        const ObjectID id{table, sqlite3_column_int64(s, 0)};
        if (auto it = registered_.find(id); it != registered_.end()) {
            results.push_back(it->second);
            return;
        }
        const EntityDescription &rowType = rowEntity(s, table);
        results.push_back(materialize(rowType, id, decodeValues(s, rowType)));
    });
}

std::vector<std::shared_ptr<ManagedObject>>
ManagedObjectContext::mergedWithPendingChanges(std::vector<std::shared_ptr<ManagedObject>> saved,
                                               const FetchRequest &request,
                                               const EntityDescription &entity) const
{
    // The saved rows may no longer match, and unsaved records may match now.
    const Predicate &predicate = request.predicate();
    std::vector<std::shared_ptr<ManagedObject>> merged;
    std::unordered_set<ObjectID, ObjectIDHash> seen;
    for (auto &object : saved) {
        seen.insert(object->objectID());
        if (!object->deleted_ && predicate.evaluateWithObject(*object))
            merged.push_back(std::move(object));
    }
    for (const auto *changes : {&inserted_, &updated_}) {
        for (const ObjectID &id : *changes) {
            if (seen.count(id))
                continue;
            const auto it = registered_.find(id);
            if (it == registered_.end())
                continue;
            const auto &object = it->second;
            if (object->entity().isKindOf(entity) && !object->deleted_ &&
                predicate.evaluateWithObject(*object))
                merged.push_back(object);
        }
    }
    const auto &sorts = request.sortDescriptors();
    std::stable_sort(merged.begin(), merged.end(),
                     [&](const auto &a, const auto &b) { return sortsBefore(*a, *b, sorts); });
    return merged;
}

std::optional<Error> ManagedObjectContext::readRow(ObjectID id, const EntityDescription **entity,
                                                   std::vector<StoreValue> *values)
{
    const QString sql = QStringLiteral("SELECT ") + selectColumns(id.table) + QStringLiteral(" FROM ") +
                        quoted(ManagedObjectModel::tableName(id.table)) +
                        QStringLiteral(" AS t0 WHERE t0.\"id\" = ?");
    *entity = nullptr;
    return coordinator_->select(sql, {id}, [&](sqlite3_stmt *s) {
        *entity = &rowEntity(s, id.table);
        *values = decodeValues(s, **entity);
    });
}

std::shared_ptr<ManagedObject> ManagedObjectContext::objectWithID(const ObjectID &id)
{
    std::lock_guard lock(mutex_);
    if (auto it = registered_.find(id); it != registered_.end())
        return it->second;
    const EntityDescription *entity = nullptr;
    std::vector<StoreValue> values;
    if (readRow(id, &entity, &values) || !entity)
        return nullptr;
    return materialize(*entity, id, std::move(values));
}

bool ManagedObjectContext::hasChanges() const
{
    std::lock_guard lock(mutex_);
    return !inserted_.empty() || !updated_.empty() || !deleted_.empty();
}

std::vector<std::shared_ptr<ManagedObject>> ManagedObjectContext::insertedObjects() const
{
    std::lock_guard lock(mutex_);
    std::vector<std::shared_ptr<ManagedObject>> out;
    for (const ObjectID &id : sortedIDs(inserted_))
        out.push_back(registered_.at(id));
    return out;
}

std::vector<std::shared_ptr<ManagedObject>> ManagedObjectContext::updatedObjects() const
{
    std::lock_guard lock(mutex_);
    std::vector<std::shared_ptr<ManagedObject>> out;
    for (const ObjectID &id : sortedIDs(updated_))
        out.push_back(registered_.at(id));
    return out;
}

std::vector<std::shared_ptr<ManagedObject>> ManagedObjectContext::deletedObjects() const
{
    std::lock_guard lock(mutex_);
    std::vector<std::shared_ptr<ManagedObject>> out;
    for (const ObjectID &id : sortedIDs(deleted_))
        out.push_back(registered_.at(id));
    return out;
}

std::optional<Error> ManagedObjectContext::save()
{
    ContextDidSaveNotification notification;
    std::vector<DidSaveHandler> handlers;
    {
        std::lock_guard lock(mutex_);
        if (inserted_.empty() && updated_.empty() && deleted_.empty())
            return std::nullopt;
        notification.context = this;
        notification.insertedObjects = sortedIDs(inserted_);
        notification.updatedObjects = sortedIDs(updated_);
        notification.deletedObjects = sortedIDs(deleted_);

        auto error = coordinator_->performTransaction([&]() -> std::optional<Error> {
            if (auto e = insertRows(notification.insertedObjects))
                return e;
            if (auto e = updateRows(notification.updatedObjects))
                return e;
            return deleteRows(notification.deletedObjects);
        });
        if (error)
            return error;
        markSaved(notification);
        for (const auto &observer : observers_)
            handlers.push_back(observer.second);
    }
    for (const auto &handler : handlers)
        handler(notification);
    return std::nullopt;
}

std::optional<Error> ManagedObjectContext::insertRows(const std::vector<ObjectID> &ids)
{
    std::vector<StoreValue> binds;
    for (const ObjectID &id : ids) {
        const ManagedObject &object = *registered_.at(id);
        binds.clear();
        binds.push_back(id);
        if (ManagedObjectModel::hasEntityColumn(id.table))
            binds.push_back(object.entityName());
        binds.insert(binds.end(), object.values_.begin(), object.values_.end());
        if (auto e = coordinator_->execute(insertSql(object.entity()), binds))
            return e;
    }
    return std::nullopt;
}

std::optional<Error> ManagedObjectContext::updateRows(const std::vector<ObjectID> &ids)
{
    std::vector<StoreValue> binds;
    for (const ObjectID &id : ids) {
        const ManagedObject &object = *registered_.at(id);
        QStringList assignments;
        binds.clear();
        for (size_t i = 0; i < object.values_.size(); ++i) {
            if (!object.changed_[i])
                continue;
            assignments << quoted(object.entity().properties()[i].name) + QStringLiteral(" = ?");
            binds.push_back(object.values_[i]);
        }
        binds.push_back(id);
        if (auto e = coordinator_->execute(
                QStringLiteral("UPDATE ") + quoted(ManagedObjectModel::tableName(id.table)) +
                    QStringLiteral(" SET ") + assignments.join(QStringLiteral(", ")) +
                    QStringLiteral(" WHERE \"id\" = ?"),
                binds))
            return e;
    }
    return std::nullopt;
}

std::optional<Error> ManagedObjectContext::deleteRows(const std::vector<ObjectID> &ids)
{
    // The cascade is repeated in SQL so that rows this context never read
    // (saved by another context meanwhile) cannot be orphaned.
    for (const ObjectID &id : ids) {
        for (const QString &statement : model().deleteStatements(id.table)) {
            if (auto e = coordinator_->execute(statement, {id}))
                return e;
        }
    }
    return std::nullopt;
}

void ManagedObjectContext::markSaved(const ContextDidSaveNotification &notification)
{
    for (const ObjectID &id : notification.insertedObjects) {
        ManagedObject &object = *registered_.at(id);
        object.inserted_ = false;
        std::fill(object.changed_.begin(), object.changed_.end(), false);
    }
    for (const ObjectID &id : notification.updatedObjects) {
        ManagedObject &object = *registered_.at(id);
        std::fill(object.changed_.begin(), object.changed_.end(), false);
    }
    for (const ObjectID &id : notification.deletedObjects)
        forget(registered_.at(id));
    inserted_.clear();
    updated_.clear();
}

void ManagedObjectContext::reset()
{
    std::lock_guard lock(mutex_);
    for (auto &entry : registered_)
        entry.second->context_ = nullptr;
    registered_.clear();
    inserted_.clear();
    updated_.clear();
    deleted_.clear();
}

void ManagedObjectContext::addDidSaveObserver(const void *owner, DidSaveHandler handler)
{
    std::lock_guard lock(mutex_);
    observers_.emplace_back(owner, std::move(handler));
}

void ManagedObjectContext::removeDidSaveObserver(const void *owner)
{
    std::lock_guard lock(mutex_);
    std::erase_if(observers_, [owner](const auto &entry) { return entry.first == owner; });
}

void ManagedObjectContext::mergeChangesFromContextDidSaveNotification(
    const ContextDidSaveNotification &notification)
{
    std::lock_guard lock(mutex_);
    if (notification.context == this)
        return;
    for (const ObjectID &id : notification.deletedObjects) {
        if (auto it = registered_.find(id); it != registered_.end()) {
            auto object = it->second;
            object->deleted_ = true;
            forget(object);
        }
    }
    for (const ObjectID &id : notification.updatedObjects) {
        auto it = registered_.find(id);
        if (it == registered_.end() || it->second->deleted_)
            continue;
        auto object = it->second;
        const EntityDescription *entity = nullptr;
        std::vector<StoreValue> values;
        if (readRow(id, &entity, &values))
            continue; // the store is unreadable: keep what we have
        if (!entity) {
            object->deleted_ = true; // deleted since that save
            forget(object);
            continue;
        }
        // Unsaved changes made here win over the stored values.
        for (size_t i = 0; i < object->values_.size() && i < values.size(); ++i) {
            if (!object->changed_[i])
                object->values_[i] = std::move(values[i]);
        }
    }
}
