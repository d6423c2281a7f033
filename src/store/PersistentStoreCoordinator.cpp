#include "store/PersistentStoreCoordinator.h"

#include <atomic>

#include <sqlite3.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QUrl>

#include "store/ManagedObjectModel.h"
#include "store/StoreCollation.h"

namespace {

QString columnType(AttributeType type)
{
    switch (type) {
    case AttributeType::String:
    case AttributeType::Decimal: // exact: the canonical decimal text
        return QStringLiteral("TEXT");
    case AttributeType::Double:
        return QStringLiteral("REAL");
    default:
        return QStringLiteral("INTEGER");
    }
}

QString columnDefinition(const PropertyDescription &property)
{
    QString definition = u'"' + property.name + u"\" " + columnType(property.type);
    if (const auto *i = std::get_if<qint64>(&property.defaultValue))
        definition += QStringLiteral(" DEFAULT ") + QString::number(*i);
    return definition;
}

QString quoted(const QString &name)
{
    return u'"' + name + u'"';
}

// Checking every page of the store at each start made the start grow with
// the library. A store that this program closed cleanly was sound when it
// was opened and has been written only by SQLite since, so a mark beside it
// records the file as that close left it, and the next open that finds the
// file exactly so skips the page check. A crash (which leaves the log
// behind), any other writer, or a store moved in without its mark gets the
// full check; so does every store after one reported damage in this run.
std::atomic<bool> damageSeen{false};

QString closedMarkPath(const QString &store)
{
    return store + QStringLiteral("-closed");
}

// The file's identity, size and times; empty when it cannot be read.
QByteArray fileStamp(const QString &path)
{
    struct stat info {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return QByteArray::number(qulonglong(info.st_dev)) + ' ' + QByteArray::number(qulonglong(info.st_ino)) +
           ' ' + QByteArray::number(qlonglong(info.st_size)) + ' ' +
           QByteArray::number(qlonglong(info.st_mtim.tv_sec)) + '.' +
           QByteArray::number(qlonglong(info.st_mtim.tv_nsec)) + ' ' +
           QByteArray::number(qlonglong(info.st_ctim.tv_sec)) + '.' +
           QByteArray::number(qlonglong(info.st_ctim.tv_nsec));
}

bool closedCleanlyAsIs(const QString &store)
{
    if (QFileInfo::exists(store + QStringLiteral("-wal")))
        return false;
    QFile mark(closedMarkPath(store));
    if (!mark.open(QIODevice::ReadOnly))
        return false;
    const QByteArray stamp = fileStamp(store);
    return !stamp.isEmpty() && mark.readAll() == stamp;
}

int compareDecimalTexts(void *, int aLength, const void *a, int bLength, const void *b)
{
    return StoreCollation::compareDecimalTexts(static_cast<const char *>(a), aLength,
                                               static_cast<const char *>(b), bLength);
}

int compareLocalized(void *, int aLength, const void *a, int bLength, const void *b)
{
    return StoreCollation::localizedCaseInsensitiveCompareUtf8(static_cast<const char *>(a), aLength,
                                                               static_cast<const char *>(b), bLength);
}

// like(value, pattern, caseInsensitive): the predicates' LIKE, 0 for nil.
void likeFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_int(context, 0);
        return;
    }
    auto text = [](sqlite3_value *v) {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)),
                                 sqlite3_value_bytes(v));
    };
    const bool caseInsensitive = argc < 3 || sqlite3_value_int(argv[2]) != 0;
    sqlite3_result_int(context,
                       StoreCollation::matchesLike(text(argv[0]), text(argv[1]), caseInsensitive) ? 1 : 0);
}

} // namespace

PersistentStoreCoordinator::PersistentStoreCoordinator(const QString &storePath) : path_(storePath)
{
    openError_ = open();
    if (openError_)
        close();
}

PersistentStoreCoordinator::~PersistentStoreCoordinator()
{
    close();
}

void PersistentStoreCoordinator::close()
{
    std::lock_guard lock(mutex_);
    // Every statement goes first, or the connection would linger open.
    for (sqlite3_stmt *s : std::as_const(statements_))
        sqlite3_finalize(s);
    statements_.clear();
    const bool closed = db_ && sqlite3_close_v2(db_) == SQLITE_OK;
    db_ = nullptr;
    // The last connection's close moved the log into the file and removed it.
    if (closed && !openError_ && !damageSeen.load() && !QFileInfo::exists(path_ + QStringLiteral("-wal"))) {
        QFile mark(closedMarkPath(path_));
        if (mark.open(QIODevice::WriteOnly | QIODevice::Truncate))
            mark.write(fileStamp(path_));
    }
}

std::optional<Error> PersistentStoreCoordinator::lastError(const QString &context) const
{
    const int code = db_ ? sqlite3_extended_errcode(db_) : SQLITE_CANTOPEN;
    const int primary = code & 0xff;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_IOERR || primary == SQLITE_NOTADB)
        damageSeen.store(true);
    QString message =
        db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("unable to open the store");
    if (!context.isEmpty())
        message = context + QStringLiteral(": ") + message;
    return Error{ErrorDomain, code, message};
}

std::optional<Error> PersistentStoreCoordinator::inspect() const
{
    sqlite3 *db = nullptr;
    // Without a write-ahead log beside it the file holds everything, and
    // reading it as immutable keeps SQLite from laying a log and an index
    // beside a file that may not be ours; with one, the log is read too.
    QByteArray uri = QUrl::fromLocalFile(path_).toEncoded();
    if (!QFileInfo::exists(path_ + QStringLiteral("-wal")))
        uri += "?immutable=1";
    const int opened = sqlite3_open_v2(uri.constData(), &db,
                                       SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    auto failure = [&](int code, const QString &message) { return Error{ErrorDomain, code, message}; };
    std::optional<Error> error;
    auto query = [&](const char *sql, const std::function<void(sqlite3_stmt *)> &row) {
        sqlite3_stmt *statement = nullptr;
        int result = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        if (result == SQLITE_OK) {
            while ((result = sqlite3_step(statement)) == SQLITE_ROW)
                row(statement);
        }
        if (result != SQLITE_DONE && !error)
            error = failure(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_finalize(statement);
    };
    auto text = [](sqlite3_stmt *statement) {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
    };
    QStringList tables;
    QString check;
    int version = 0;
    if (opened != SQLITE_OK) {
        error =
            failure(db ? sqlite3_extended_errcode(db) : SQLITE_CANTOPEN,
                    db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("unable to open the store"));
    } else {
        query(
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'",
            [&](sqlite3_stmt *s) { tables << text(s); });
        query("PRAGMA user_version", [&](sqlite3_stmt *s) { version = sqlite3_column_int(s, 0); });
        if (closedCleanlyAsIs(path_))
            check = QStringLiteral("ok");
        else
            query("PRAGMA quick_check(1)", [&](sqlite3_stmt *s) { check = text(s); });
    }
    sqlite3_close_v2(db);
    if (error)
        return error;
    if (check != QStringLiteral("ok"))
        return failure(SQLITE_CORRUPT, QStringLiteral("The store file is damaged: ") + check);

    QStringList known;
    for (StoreTable table : ManagedObjectModel::tables())
        known << ManagedObjectModel::tableName(table);
    for (const QString &table : std::as_const(tables)) {
        if (!known.contains(table))
            return failure(SQLITE_NOTADB,
                           QStringLiteral("The file is not a Yomora store: it holds the table ") + table);
    }
    // A version from a later Yomora may mean anything; so may a numbered
    // file without a table, which no Yomora ever wrote (the schema and its
    // number are created together).
    if (version < 0 || version > kSchemaVersion || (version != 0 && tables.isEmpty()))
        return failure(
            SQLITE_NOTADB,
            QStringLiteral("The store file has a version this Yomora does not know: %1").arg(version));
    return std::nullopt;
}

std::optional<Error> PersistentStoreCoordinator::open()
{
    std::lock_guard lock(mutex_);
    QDir().mkpath(QFileInfo(path_).absolutePath());
    // Looked at through a read-only connection first, so that a file that is
    // not a sound store of this version (a damaged library, someone else's
    // database moved in by the start-up migration) is never written to. An
    // empty file, or one without tables or version, is a new store.
    const std::optional<Error> refused = QFileInfo(path_).size() > 0 ? inspect() : std::nullopt;
    // From here on the file may change; only a clean close marks it again.
    QFile::remove(closedMarkPath(path_));
    if (refused)
        return refused;
    const QByteArray file = QFile::encodeName(path_);
    if (sqlite3_open_v2(file.constData(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK)
        return lastError();
    sqlite3_extended_result_codes(db_, 1);
    registerFunctions();

    // Sorting scratch stays in memory: nothing is written outside the data
    // directory.
    if (auto error = execute(QStringLiteral("PRAGMA temp_store = MEMORY")))
        return error;
    QString mode;
    if (auto error = select(QStringLiteral("PRAGMA journal_mode = WAL"), {}, [&](sqlite3_stmt *s) {
            mode = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
        }))
        return error;
    // A commit is on disk before save() returns: a crash later cannot take
    // back what an earlier save stored.
    if (auto error = execute(QStringLiteral("PRAGMA synchronous = FULL")))
        return error;
    if (auto error = migrate())
        return error;

    for (StoreTable table : ManagedObjectModel::tables()) {
        qint64 maxRow = 0;
        if (auto error =
                select(QStringLiteral("SELECT max(id) FROM ") + quoted(ManagedObjectModel::tableName(table)),
                       {}, [&](sqlite3_stmt *s) { maxRow = sqlite3_column_int64(s, 0); }))
            return error;
        nextRow_[size_t(table)] = maxRow + 1;
    }
    return std::nullopt;
}

void PersistentStoreCoordinator::registerFunctions()
{
    sqlite3_create_collation_v2(db_, "LOCALIZED", SQLITE_UTF8, nullptr, compareLocalized, nullptr);
    sqlite3_create_collation_v2(db_, "DECIMAL", SQLITE_UTF8, nullptr, compareDecimalTexts, nullptr);
    sqlite3_create_function_v2(db_, "yomora_like", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               likeFunction, nullptr, nullptr, nullptr);
}

std::optional<Error> PersistentStoreCoordinator::migrate()
{
    int version = 0;
    if (auto error = select(QStringLiteral("PRAGMA user_version"), {},
                            [&](sqlite3_stmt *s) { version = sqlite3_column_int(s, 0); }))
        return error;
    if (version == kSchemaVersion)
        return std::nullopt;
    if (version < 0 || version > kSchemaVersion) // one that only the log held
        return Error{
            ErrorDomain, SQLITE_NOTADB,
            QStringLiteral("The store file has a version this Yomora does not know: %1").arg(version)};

    return performTransaction([&]() -> std::optional<Error> {
        const auto &model = ManagedObjectModel::sharedModel();
        for (StoreTable table : ManagedObjectModel::tables()) {
            const QString name = quoted(ManagedObjectModel::tableName(table));
            const EntityDescription &entity = model.tableEntity(table);
            const QString entityColumn = QStringLiteral("\"entity\" TEXT NOT NULL DEFAULT ") + u'\'' +
                                         model.rootEntity(table).name() + u'\'';
            QStringList columns{QStringLiteral("\"id\" INTEGER PRIMARY KEY")};
            if (ManagedObjectModel::hasEntityColumn(table))
                columns << entityColumn;
            for (const auto &property : entity.properties())
                columns << columnDefinition(property);
            if (auto error = execute(QStringLiteral("CREATE TABLE IF NOT EXISTS ") + name +
                                     QStringLiteral(" (") + columns.join(QStringLiteral(", ")) + u')'))
                return error;

            QSet<QString> existing;
            if (auto error =
                    select(QStringLiteral("PRAGMA table_info(") + name + u')', {}, [&](sqlite3_stmt *s) {
                        existing.insert(
                            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 1))));
                    }))
                return error;
            QStringList missing;
            if (ManagedObjectModel::hasEntityColumn(table) && !existing.contains(QStringLiteral("entity")))
                missing << entityColumn;
            for (const auto &property : entity.properties()) {
                if (!existing.contains(property.name))
                    missing << columnDefinition(property);
            }
            for (const QString &column : std::as_const(missing)) {
                if (auto error = execute(QStringLiteral("ALTER TABLE ") + name +
                                         QStringLiteral(" ADD COLUMN ") + column))
                    return error;
            }
        }
        if (auto error = execute(
                QStringLiteral("CREATE INDEX IF NOT EXISTS \"ChapterBook\" ON \"Chapter\" (\"book\")")))
            return error;
        if (auto error = execute(
                QStringLiteral("CREATE INDEX IF NOT EXISTS \"PageChapter\" ON \"Page\" (\"chapter\")")))
            return error;
        // Downloads share the chapters' table; the start-up and the downloads
        // badge look for them several times, and a scan of every chapter in
        // a large library each time made the start grow with the library.
        if (auto error = execute(
                QStringLiteral("CREATE INDEX IF NOT EXISTS \"ChapterEntity\" ON \"Chapter\" (\"entity\")")))
            return error;
        return execute(QStringLiteral("PRAGMA user_version = ") + QString::number(kSchemaVersion));
    });
}

ObjectID PersistentStoreCoordinator::newObjectID(StoreTable table)
{
    std::lock_guard lock(mutex_);
    return ObjectID{table, nextRow_[size_t(table)]++};
}

sqlite3_stmt *PersistentStoreCoordinator::statement(const QString &sql, std::optional<Error> *error)
{
    if (!db_) {
        *error = openError_ ? openError_ : lastError();
        return nullptr;
    }
    if (sqlite3_stmt *cached = statements_.value(sql))
        return cached;
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v3(db_, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &s, nullptr) !=
        SQLITE_OK) {
        *error = lastError();
        return nullptr;
    }
    statements_.insert(sql, s);
    return s;
}

std::optional<Error> PersistentStoreCoordinator::bindAndStep(sqlite3_stmt *s,
                                                             const std::vector<StoreValue> &binds,
                                                             const RowHandler *row)
{
    for (size_t i = 0; i < binds.size(); ++i) {
        const int index = int(i) + 1;
        const StoreValue &v = binds[i];
        if (const auto *b = std::get_if<bool>(&v)) {
            sqlite3_bind_int(s, index, *b ? 1 : 0);
        } else if (const auto *n = std::get_if<qint64>(&v)) {
            sqlite3_bind_int64(s, index, *n);
        } else if (const auto *f = std::get_if<double>(&v)) {
            sqlite3_bind_double(s, index, *f);
        } else if (const auto *t = std::get_if<QString>(&v)) {
            const QByteArray utf8 = t->toUtf8();
            sqlite3_bind_text(s, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        } else if (const auto *d = std::get_if<Decimal>(&v)) {
            const QByteArray text = d->toString().toLatin1();
            sqlite3_bind_text(s, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        } else if (const auto *date = std::get_if<QDateTime>(&v)) {
            if (date->isValid())
                sqlite3_bind_int64(s, index, date->toMSecsSinceEpoch());
            else
                sqlite3_bind_null(s, index);
        } else if (const auto *id = std::get_if<ObjectID>(&v)) {
            sqlite3_bind_int64(s, index, id->row);
        } else {
            sqlite3_bind_null(s, index);
        }
    }
    std::optional<Error> error;
    for (;;) {
        const int rc = sqlite3_step(s);
        if (rc == SQLITE_ROW) {
            if (row)
                (*row)(s);
            continue;
        }
        if (rc != SQLITE_DONE)
            error = lastError();
        break;
    }
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    return error;
}

std::optional<Error> PersistentStoreCoordinator::select(const QString &sql,
                                                        const std::vector<StoreValue> &binds,
                                                        const RowHandler &row)
{
    std::lock_guard lock(mutex_);
    std::optional<Error> error;
    sqlite3_stmt *s = statement(sql, &error);
    if (!s)
        return error;
    return bindAndStep(s, binds, &row);
}

std::optional<Error> PersistentStoreCoordinator::execute(const QString &sql,
                                                         const std::vector<StoreValue> &binds)
{
    std::lock_guard lock(mutex_);
    std::optional<Error> error;
    sqlite3_stmt *s = statement(sql, &error);
    if (!s)
        return error;
    return bindAndStep(s, binds, nullptr);
}

std::optional<Error>
PersistentStoreCoordinator::performTransaction(const std::function<std::optional<Error>()> &body)
{
    std::lock_guard lock(mutex_);
    if (auto error = execute(QStringLiteral("BEGIN IMMEDIATE")))
        return error;
    std::optional<Error> error = body();
    if (!error)
        error = execute(QStringLiteral("COMMIT"));
    if (error)
        execute(QStringLiteral("ROLLBACK"));
    return error;
}

StoreValue PersistentStoreCoordinator::columnValue(sqlite3_stmt *s, int column,
                                                   const PropertyDescription &property)
{
    if (sqlite3_column_type(s, column) == SQLITE_NULL)
        return {};
    switch (property.type) {
    case AttributeType::String:
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, column)),
                                 sqlite3_column_bytes(s, column));
    case AttributeType::Integer:
        return qint64(sqlite3_column_int64(s, column));
    case AttributeType::Boolean:
        return sqlite3_column_int64(s, column) != 0;
    case AttributeType::Double:
        return sqlite3_column_double(s, column);
    case AttributeType::Decimal:
        return Decimal::fromString(QString::fromLatin1(
            reinterpret_cast<const char *>(sqlite3_column_text(s, column)), sqlite3_column_bytes(s, column)));
    case AttributeType::Date:
        return QDateTime::fromMSecsSinceEpoch(sqlite3_column_int64(s, column), Qt::UTC);
    case AttributeType::ToOne:
        return ObjectID{property.destinationTable, sqlite3_column_int64(s, column)};
    }
    return {};
}
