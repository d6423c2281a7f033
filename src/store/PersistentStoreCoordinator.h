#pragma once

#include <array>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include <QHash>
#include <QString>

#include "foundation/Error.h"
#include "store/EntityDescription.h"
#include "store/ObjectID.h"
#include "store/StoreValue.h"

struct sqlite3;
struct sqlite3_stmt;

// The one connection to the store file, shared by every context.
// Thread contract: any thread; every use of the connection holds the
// coordinator's mutex (recursive, so a transaction's body may run
// statements). Lock order: a context's mutex before this one, never the
// other way round.
//
// Opening never writes to a file that is not a sound store of a version
// it knows: the file is read and checked first, so a damaged library, or
// another program's database, stays as it was for the user to recover.
// Tables that lack columns of this version get them (`PRAGMA user_version`
// records the version that last checked them).
class PersistentStoreCoordinator
{
public:
    // 2 added the index that finds the downloads among the chapters, 3 the
    // pages' isGray (an older build would lose it copying pages, so it must
    // refuse the store).
    static constexpr int kSchemaVersion = 3;
    static inline const QString ErrorDomain = QStringLiteral("StoreErrorDomain");

    // Opens (or creates) the store file. A failure is kept and returned by
    // every later request instead of being reported here.
    explicit PersistentStoreCoordinator(const QString &storePath);
    ~PersistentStoreCoordinator();
    PersistentStoreCoordinator(const PersistentStoreCoordinator &) = delete;
    PersistentStoreCoordinator &operator=(const PersistentStoreCoordinator &) = delete;

    const QString &storePath() const { return path_; }
    bool isOpen() const { return !openError_; }
    const std::optional<Error> &openError() const { return openError_; }

    // A fresh identity for a record of the table; never handed out twice.
    ObjectID newObjectID(StoreTable table);

    using RowHandler = std::function<void(sqlite3_stmt *)>;
    // Runs a query (cached prepared statement) and calls `row` per result
    // row with the lock held; the handler must not block on other threads.
    std::optional<Error> select(const QString &sql, const std::vector<StoreValue> &binds,
                                const RowHandler &row);
    std::optional<Error> execute(const QString &sql, const std::vector<StoreValue> &binds = {});
    // Runs `body` inside one immediate transaction: committed when the
    // body returns no error, rolled back otherwise.
    std::optional<Error> performTransaction(const std::function<std::optional<Error>()> &body);

    // Decodes a result column as the property's type; NULL is nil.
    static StoreValue columnValue(sqlite3_stmt *statement, int column, const PropertyDescription &property);

private:
    std::optional<Error> inspect() const;
    std::optional<Error> open();
    void close();
    std::optional<Error> migrate();
    std::optional<Error> lastError(const QString &context = QString()) const;
    sqlite3_stmt *statement(const QString &sql, std::optional<Error> *error);
    std::optional<Error> bindAndStep(sqlite3_stmt *statement, const std::vector<StoreValue> &binds,
                                     const RowHandler *row);
    void registerFunctions();

    QString path_;
    sqlite3 *db_ = nullptr;
    std::optional<Error> openError_;
    std::recursive_mutex mutex_;
    QHash<QString, sqlite3_stmt *> statements_;
    std::array<qint64, 4> nextRow_{1, 1, 1, 1};
};
