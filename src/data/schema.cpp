// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/schema.h"

#include "data/collectionstore.h"
#include "data/database.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <algorithm>
#include <iterator>
#include <optional>
#include <sqlite3.h>

// The schema lives in a static library's resources, which must be registered before use.
static void initSchemaResource()
{
    Q_INIT_RESOURCE(data);
}

namespace zelvora::schema {

namespace {

// Indexes made by earlier versions and replaced since.
constexpr const char* kObsoleteIndexes[] = {"musteriler_sira", "musteriler_arama"};
// What version 1 files lack.
constexpr const char* kAddedObjects[] = {"musteriler_ad_sirasi",
                                         "musteriler_anahtarsiz",
                                         "musteriler_gun_farki",
                                         "veresiye_toplam",
                                         "liste_toplami",
                                         "liste_toplami_ekle",
                                         "liste_toplami_sil",
                                         "liste_toplami_degisti",
                                         "silinen_musteriler",
                                         "silinen_hareketler",
                                         "silinen_hareketler_musteri",
                                         "musteriler_tahsilat",
                                         "veresiye_odeme",
                                         "veresiye_musteri_tarih",
                                         "veresiye_tarih"};
// Of those, the ones added after ledgers of the current format were made: any ledger may lack them, whatever its
// version, until the program opens it (the file upgrade and the server upgrade add them).
constexpr const char* kAddedLater[]
    = {"silinen_musteriler", "silinen_hareketler", "silinen_hareketler_musteri", "veresiye_tarih"};

// Columns later versions added at the end of a table. A file or a server database that lacks one gets it, empty
// for the rows already there. The file's type is the script's; serverType is schema_pg.sql's.
struct AddedColumn
{
    const char* table;
    const char* column;
    const char* serverType;
};
constexpr AddedColumn kAddedColumns[] = {
    {"musteriler", "KrediLimiti", "bigint"},
    {"veresiye", "Kullanici", "text"},
    {"veresiye", "Kayit", "text"},
    {"musteriler", "BeklemeTarihi", "text COLLATE \"C\""},
};

// The indexes of the to-collect list, for a server database made before them.
constexpr const char* kCollectionIndexes[] = {
    "CREATE INDEX IF NOT EXISTS musteriler_tahsilat ON musteriler (BeklemeTarihi, Bakiye DESC, length(mus_kodu), "
    "mus_kodu) WHERE Bakiye > 0",
    "CREATE INDEX IF NOT EXISTS veresiye_odeme ON veresiye (mus_kodu, Tarih) WHERE Odenen > 0",
    "CREATE INDEX IF NOT EXISTS veresiye_musteri_tarih ON veresiye (mus_kodu, Tarih)",
};

bool isCollectionDate(const AddedColumn& added)
{
    return qstrcmp(added.column, "BeklemeTarihi") == 0;
}

template<std::size_t N> bool listed(const char* const (&names)[N], const QString& name)
{
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char* n) { return name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0; });
}

sqlite3* handleOf(const Database& db)
{
    return *static_cast<sqlite3**>(db.connection().driver()->handle().data());
}

bool execText(sqlite3* handle, const QByteArray& text, QString* error)
{
    char* message = nullptr;
    if (sqlite3_exec(handle, text.constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    if (error)
        *error = QString::fromUtf8(message);
    sqlite3_free(message);
    return false;
}

// (name, sql) of every table, index and trigger in handle's schema, in the order they were made.
QList<QPair<QByteArray, QByteArray>> objectsOf(sqlite3* handle)
{
    QList<QPair<QByteArray, QByteArray>> objects;
    sqlite3_stmt* select = nullptr;
    if (sqlite3_prepare_v2(
            handle,
            "SELECT name, sql FROM sqlite_master WHERE type IN ('table', 'index', 'trigger') AND sql IS NOT NULL "
            "ORDER BY rowid",
            -1, &select, nullptr)
        != SQLITE_OK)
        return objects;
    while (sqlite3_step(select) == SQLITE_ROW)
        objects.append({QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(select, 0))).toLower(),
                        QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(select, 1)))});
    sqlite3_finalize(select);
    return objects;
}

// The tables, indexes and triggers the script makes, read once from a database built from it in memory.
const QList<QPair<QByteArray, QByteArray>>& scriptObjects()
{
    static const QList<QPair<QByteArray, QByteArray>> objects = [] {
        QList<QPair<QByteArray, QByteArray>> result;
        sqlite3* memory = nullptr;
        if (sqlite3_open(":memory:", &memory) == SQLITE_OK && execText(memory, script(), nullptr))
            result = objectsOf(memory);
        sqlite3_close(memory);
        return result;
    }();
    return objects;
}

} // namespace

QByteArray script(Engine engine)
{
    initSchemaResource();
    QFile file(engine == Engine::PostgreSQL ? QStringLiteral(":/data/schema_pg.sql")
                                            : QStringLiteral(":/data/schema.sql"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool isObsoleteIndex(const QString& name)
{
    return listed(kObsoleteIndexes, name);
}

bool isAddedByUpgrade(const QString& name)
{
    return listed(kAddedObjects, name);
}

bool isAddedLater(const QString& name)
{
    return listed(kAddedLater, name);
}

QStringList addedColumns(const QString& table)
{
    QStringList columns;
    for (const AddedColumn& c : kAddedColumns) {
        if (table.compare(QLatin1String(c.table), Qt::CaseInsensitive) == 0)
            columns.append(QLatin1String(c.column));
    }
    return columns;
}

QStringList listTotalsRefill()
{
    return {QStringLiteral("DELETE FROM liste_toplami"),
            QStringLiteral("INSERT INTO liste_toplami (Turu, Bakiye) SELECT Turu, sum(Bakiye) FROM musteriler "
                           "WHERE Bakiye IS NOT NULL GROUP BY Turu")};
}

namespace {

// The column names of table in handle's database, in lower case; empty when there is no such table.
QList<QByteArray> columnsOf(sqlite3* handle, const char* table)
{
    QList<QByteArray> names;
    sqlite3_stmt* select = nullptr;
    if (sqlite3_prepare_v2(handle, "SELECT name FROM pragma_table_info(?)", -1, &select, nullptr) != SQLITE_OK)
        return names;
    sqlite3_bind_text(select, 1, table, -1, SQLITE_STATIC);
    while (sqlite3_step(select) == SQLITE_ROW)
        names.append(QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(select, 0))).toLower());
    sqlite3_finalize(select);
    return names;
}

// "name type" of an added column as the script declares it, read once from the script's own tables.
QByteArray scriptColumnDefinition(const AddedColumn& added)
{
    static const QHash<QByteArray, QByteArray> definitions = [] {
        QHash<QByteArray, QByteArray> result;
        sqlite3* memory = nullptr;
        if (sqlite3_open(":memory:", &memory) == SQLITE_OK && execText(memory, script(), nullptr)) {
            for (const AddedColumn& c : kAddedColumns) {
                sqlite3_stmt* select = nullptr;
                if (sqlite3_prepare_v2(memory, "SELECT type, dflt_value FROM pragma_table_info(?) WHERE name = ?", -1,
                                       &select, nullptr)
                    != SQLITE_OK)
                    continue;
                sqlite3_bind_text(select, 1, c.table, -1, SQLITE_STATIC);
                sqlite3_bind_text(select, 2, c.column, -1, SQLITE_STATIC);
                if (sqlite3_step(select) == SQLITE_ROW) {
                    QByteArray definition
                        = QByteArray(c.column) + ' ' + reinterpret_cast<const char*>(sqlite3_column_text(select, 0));
                    if (sqlite3_column_type(select, 1) != SQLITE_NULL)
                        definition
                            += QByteArray(" DEFAULT ") + reinterpret_cast<const char*>(sqlite3_column_text(select, 1));
                    result.insert(QByteArray(c.table) + '.' + c.column, definition);
                }
                sqlite3_finalize(select);
            }
        }
        sqlite3_close(memory);
        return result;
    }();
    return definitions.value(QByteArray(added.table) + '.' + added.column);
}

// The statements that bring the file behind handle up to date; empty when it is.
QByteArray pendingWork(sqlite3* handle)
{
    const auto present = objectsOf(handle);
    const auto has = [&](const QByteArray& name) {
        return std::any_of(present.cbegin(), present.cend(), [&](const auto& o) { return o.first == name; });
    };
    QByteArray work;
    bool fillCollectionDates = false;
    // Columns first: indexes of the script may use them.
    for (const AddedColumn& added : kAddedColumns) {
        const QList<QByteArray> columns = columnsOf(handle, added.table);
        if (!columns.isEmpty() && !columns.contains(QByteArray(added.column).toLower())) {
            work += "ALTER TABLE " + QByteArray(added.table) + " ADD COLUMN " + scriptColumnDefinition(added) + ";\n";
            fillCollectionDates = fillCollectionDates || isCollectionDate(added);
        }
    }
    for (const char* name : kObsoleteIndexes) {
        if (has(name))
            work += "DROP INDEX " + QByteArray(name) + ";\n";
    }
    bool totalsKept = true;
    for (const auto& [name, sql] : scriptObjects()) {
        // A table of the first version that is missing is a damaged file, not an older one: it is not made
        // empty here (the program reports what it cannot read).
        if (!has(name) && (!sql.startsWith("CREATE TABLE") || isAddedByUpgrade(QString::fromUtf8(name)))) {
            work += sql + ";\n";
            totalsKept = totalsKept && !name.startsWith("liste_toplami");
        }
    }
    // Totals whose table or triggers were missing are summed again from the customers.
    if (!totalsKept)
        work += listTotalsRefill().join(QStringLiteral(";\n")).toUtf8() + ";\n";
    // The to-collect dates of the customers already there, once, after the indexes that make it quick.
    if (fillCollectionDates)
        work += CollectionStore::refreshAllSql(Engine::SQLite).join(QStringLiteral(";\n")).toUtf8() + ";\n";
    return work;
}

// The statement of the server script that makes the table or index name, safe to run again.
QString serverCreateStatement(const char* name)
{
    const QString text = QString::fromUtf8(script(Engine::PostgreSQL));
    for (const QString& kind : {QStringLiteral("CREATE TABLE "), QStringLiteral("CREATE INDEX ")}) {
        const qsizetype at = text.indexOf(kind + QLatin1String(name) + QLatin1Char(' '));
        if (at < 0)
            continue;
        QString statement = text.mid(at, text.indexOf(QLatin1Char(';'), at) - at);
        return statement.insert(kind.size(), QStringLiteral("IF NOT EXISTS "));
    }
    return {};
}

// What a server database made by an earlier version lacks: added columns, later tables and indexes.
struct ServerGaps
{
    QList<AddedColumn> columns;
    QList<const char*> objects;

    bool isEmpty() const { return columns.isEmpty() && objects.isEmpty(); }
};

// Read from the catalogue in one statement (a till starting on the server waits for it); nullopt when it cannot be.
std::optional<ServerGaps> serverGaps(const Database& db, QString* error)
{
    QSqlQuery query = db.prepare(
        QStringLiteral("WITH here AS (SELECT oid, relname, relkind FROM pg_class "
                       "WHERE relnamespace = (SELECT oid FROM pg_namespace WHERE nspname = current_schema())) "
                       "SELECT relname FROM here UNION ALL SELECT here.relname || '.' || a.attname FROM here "
                       "JOIN pg_attribute a ON a.attrelid = here.oid WHERE here.relkind = 'r' AND a.attnum > 0 "
                       "AND NOT a.attisdropped"));
    if (!Database::runWith(query, {}, error))
        return std::nullopt;
    QSet<QString> present;
    while (query.next())
        present.insert(query.value(0).toString());
    ServerGaps gaps;
    for (const AddedColumn& added : kAddedColumns) {
        if (!present.contains(QString::fromLatin1(added.table) + QLatin1Char('.')
                              + QString::fromLatin1(added.column).toLower()))
            gaps.columns.append(added);
    }
    for (const char* name : kAddedLater) {
        if (!present.contains(QString::fromLatin1(name)))
            gaps.objects.append(name);
    }
    return gaps;
}

bool upgradeServer(const Database& db, QString* error)
{
    ScopedTransaction transaction(db);
    if (!transaction.isActive()) {
        if (error)
            *error = db.connection().lastError().text();
        return false;
    }
    // IF NOT EXISTS: another till may have added a column meanwhile.
    const std::optional<ServerGaps> gaps = serverGaps(db, error);
    if (!gaps)
        return false;
    bool fillCollectionDates = false;
    for (const AddedColumn& added : gaps->columns) {
        if (!db.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN IF NOT EXISTS %2 %3")
                         .arg(QLatin1String(added.table), QLatin1String(added.column), QLatin1String(added.serverType)),
                     {}, error))
            return false;
        fillCollectionDates = fillCollectionDates || isCollectionDate(added);
    }
    if (fillCollectionDates) {
        for (const char* index : kCollectionIndexes) {
            if (!db.exec(QString::fromLatin1(index), {}, error))
                return false;
        }
        for (const QString& statement : CollectionStore::refreshAllSql(Engine::PostgreSQL)) {
            if (!db.exec(statement, {}, error))
                return false;
        }
    }
    for (const char* name : gaps->objects) {
        if (!db.exec(serverCreateStatement(name), {}, error))
            return false;
    }
    return transaction.commit();
}

} // namespace

bool needsUpgrade(const Database& db)
{
    if (db.isServer()) {
        const std::optional<ServerGaps> gaps = serverGaps(db, nullptr);
        return gaps && !gaps->isEmpty();
    }
    return !scriptObjects().isEmpty() && !pendingWork(handleOf(db)).isEmpty();
}

bool upgrade(const Database& db, QString* error)
{
    if (db.isServer())
        return upgradeServer(db, error);
    sqlite3* handle = handleOf(db);
    const QByteArray work = pendingWork(handle);
    if (scriptObjects().isEmpty()) {
        if (error)
            *error = QStringLiteral("schema.sql okunamadı");
        return false;
    }
    if (work.isEmpty())
        return true;
    // All or nothing: an interrupted upgrade leaves the file as it was.
    const QByteArray version = "PRAGMA user_version = " + QByteArray::number(kVersion) + ";\n";
    if (!execText(handle, "BEGIN IMMEDIATE;\n" + work + version + "COMMIT;", error)) {
        sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

bool create(const Database& db, QString* error)
{
    const QByteArray text = script(db.engine());
    if (text.isEmpty()) {
        if (error)
            *error = QStringLiteral("%1 okunamadı")
                         .arg(db.isServer() ? QStringLiteral("schema_pg.sql") : QStringLiteral("schema.sql"));
        return false;
    }
    if (db.isServer()) {
        // The server takes the whole script (functions with inner semicolons) as one simple query.
        QSqlQuery query(db.connection());
        if (query.exec(QString::fromUtf8(text)))
            return true;
        if (error)
            *error = Database::errorText(query);
        return false;
    }
    // The script holds a trigger body with inner semicolons, so it runs through SQLite itself.
    return execText(handleOf(db), text, error);
}

} // namespace zelvora::schema
