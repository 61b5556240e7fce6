// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/serverledger.h"

#include "backup/databasecheck.h"
#include "backup/filecopy.h"
#include "data/bulkload.h"
#include "data/numberformat.h"
#include "data/schema.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryFile>
#include <QUuid>

namespace zelvora::serverledger {

namespace {

// Rows per INSERT into a file: well inside SQLite's limit of bound values.
constexpr int kBatchRows = 500;

// How long a restore waits for other tills' running writes before it gives up.
constexpr int kLockWaitMs = 10000;

// A table of the ledger and its key: the id, or the row's place where the table has no id of its own.
struct Table
{
    QString name;
    QString key;
    bool keptDeletions = false; // "Silinen Kayıtlar": a ledger of an earlier version has no such table
};

const QList<Table>& ledgerTables()
{
    static const QList<Table> list {
        {QStringLiteral("musteriler"), QStringLiteral("id")},
        {QStringLiteral("veresiye"), QStringLiteral("id")},
        {QStringLiteral("\"User\""), QStringLiteral("rowid")},
        {QStringLiteral("son_musterino"), QStringLiteral("rowid")},
        {QStringLiteral("birimler"), QStringLiteral("rowid")},
        {QStringLiteral("surum"), QStringLiteral("rowid")},
        {QStringLiteral("silinen_musteriler"), QStringLiteral("id"), true},
        {QStringLiteral("silinen_hareketler"), QStringLiteral("id"), true},
    };
    return list;
}

// The columns of a table, in lower case (both engines take unquoted names without regard to case).
QStringList columnsOf(const QSqlDatabase& db, const QString& table, QString* error)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(table))) {
        *error = Database::errorText(query);
        return {};
    }
    QStringList columns;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        columns.append(record.fieldName(i).toLower());
    return columns;
}

// The key and then every other column both sides have, in the target's order: a column only one side knows
// (a newer or an older program's) is left to its default.
QStringList sharedColumns(const QSqlDatabase& from, const QSqlDatabase& to, const Table& table, QString* error)
{
    const QStringList source = columnsOf(from, table.name, error);
    if (source.isEmpty())
        return {};
    const QStringList target = columnsOf(to, table.name, error);
    if (target.isEmpty())
        return {};
    QStringList columns {table.key};
    for (const QString& column : target)
        if (column != table.key && column != QLatin1String("rowid") && source.contains(column))
            columns.append(column);
    return columns;
}

// A value read from either engine as the other takes it: the server's driver hands out a positive bigint
// unsigned, which is a signed whole number in the ledger.
QVariant portable(const QVariant& value)
{
    if (!value.isNull() && value.typeId() == QMetaType::ULongLong)
        if (const auto whole = Database::wholeNumber(value))
            return QVariant::fromValue<qint64>(*whole);
    return value;
}

QString insertSql(const QString& table, const QStringList& columns, int rows)
{
    QStringList marks(columns.size(), QStringLiteral("?"));
    const QString row = QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(table, columns.join(QStringLiteral(", ")), QStringList(rows, row).join(QStringLiteral(", ")));
}

// Every row of a read into the same table of a file, in batches of bound values.
bool insertRows(QSqlQuery& read, const Database& to, const QString& table, const QStringList& columns, QString* error)
{
    QSqlQuery full = to.prepare(insertSql(table, columns, kBatchRows));
    QVariantList values;
    values.reserve(kBatchRows * columns.size());
    int rows = 0;
    const auto flush = [&] {
        QSqlQuery partial;
        QSqlQuery& write = rows == kBatchRows ? full : (partial = to.prepare(insertSql(table, columns, rows)));
        if (!Database::runWith(write, values, error))
            return false;
        values.clear();
        rows = 0;
        return true;
    };
    while (read.next()) {
        for (int i = 0; i < columns.size(); ++i)
            values.append(portable(read.value(i)));
        if (++rows == kBatchRows && !flush())
            return false;
    }
    if (read.lastError().type() != QSqlError::NoError) {
        *error = Database::errorText(read);
        return false;
    }
    return rows == 0 || flush();
}

// Every row of a read into the same table of a server, with COPY.
bool loadRows(QSqlQuery& read, const Database& to, const QString& table, const QStringList& columns, QString* error)
{
    BulkLoad load(to);
    if (!load.begin(table, columns, error))
        return false;
    while (read.next()) {
        for (int i = 0; i < columns.size(); ++i)
            load.add(read.value(i));
        if (!load.endRow(error))
            return false;
    }
    if (read.lastError().type() != QSqlError::NoError) {
        *error = Database::errorText(read);
        return false;
    }
    return load.finish(error);
}

// Streams every row of a table from one ledger into the same table of another.
bool copyTable(const QSqlDatabase& from, bool fromServer, const Database& to, const Table& table, QString* error)
{
    const QStringList columns = sharedColumns(from, to.connection(), table, error);
    if (columns.isEmpty())
        return false;
    QSqlQuery read(from);
    // Forward only: SQLite steps through the table, the server's driver hands out one row at a time.
    read.setForwardOnly(true);
    if (fromServer)
        read.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!read.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                       .arg(columns.join(QStringLiteral(", ")), table.name, table.key))) {
        *error = Database::errorText(read);
        return false;
    }
    return to.isServer() ? loadRows(read, to, table.name, columns, error)
                         : insertRows(read, to, table.name, columns, error);
}

// The secondary indexes of the customers and movements on a server (every one not behind a constraint), dropped;
// their definitions, to build them again once the rows are in.
bool dropIndexes(const Database& db, QStringList* definitions, QString* error)
{
    QSqlQuery query
        = db.prepare(QStringLiteral("SELECT quote_ident(c.relname), pg_get_indexdef(x.indexrelid) FROM pg_index x "
                                    "JOIN pg_class c ON c.oid = x.indexrelid "
                                    "WHERE x.indrelid IN ('musteriler'::regclass, 'veresiye'::regclass) "
                                    "AND NOT EXISTS (SELECT 1 FROM pg_constraint k WHERE k.conindid = x.indexrelid)"));
    if (!Database::runWith(query, {}, error))
        return false;
    QStringList names;
    while (query.next()) {
        names.append(query.value(0).toString());
        definitions->append(query.value(1).toString());
    }
    for (const QString& name : std::as_const(names))
        if (!db.exec(QStringLiteral("DROP INDEX %1").arg(name), {}, error))
            return false;
    return true;
}

// A number read back from a count or a sum, as text: whole numbers alike on both engines.
QString numberText(const QVariant& value)
{
    if (value.typeId() == QMetaType::Double) {
        const double d = value.toDouble();
        if (d == static_cast<double>(static_cast<qint64>(d)))
            return QString::number(static_cast<qint64>(d));
    }
    if (const auto whole = Database::wholeNumber(value))
        return QString::number(*whole);
    return value.toString();
}

// Customers, movements, and the sums of Bakiye, Eklenen and Odenen.
bool figuresOf(const QSqlDatabase& db, QStringList* figures, QString* error)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!query.exec(QStringLiteral("SELECT (SELECT count(*) FROM musteriler), (SELECT count(*) FROM veresiye), "
                                   "(SELECT coalesce(sum(Bakiye), 0) FROM musteriler), "
                                   "(SELECT coalesce(sum(Eklenen), 0) FROM veresiye), "
                                   "(SELECT coalesce(sum(Odenen), 0) FROM veresiye)"))
        || !query.next()) {
        *error = Database::errorText(query);
        return false;
    }
    for (int i = 0; i < 5; ++i)
        figures->append(numberText(query.value(i)));
    return true;
}

QString moneyText(const QString& kurus)
{
    bool fits = false;
    const qint64 value = kurus.toLongLong(&fits);
    return fits ? numbers::totals(value) : kurus + QStringLiteral(" kuruş");
}

QString serverName(const ServerSettings& server)
{
    return QStringLiteral("%1 / %2").arg(server.address(), server.name);
}

// The server's ledger connection, with every table of the ledger there; nullptr with a Turkish message.
std::unique_ptr<Database> openLedger(const ServerSettings& server, QString* error)
{
    QString why;
    auto db = Database::openServer(server, &why);
    if (!db) {
        *error = QStringLiteral("Sunucuya bağlanılamadı (%1): %2").arg(server.address(), why);
        return nullptr;
    }
    return db;
}

bool hasLedgerTables(const Database& db, const ServerSettings& server, QString* error)
{
    QString why;
    const QStringList present = db.tableNames(&why);
    if (!why.isEmpty()) {
        *error = QStringLiteral("Sunucudaki veri tabanı okunamadı (%1): %2").arg(serverName(server), why);
        return false;
    }
    for (const Table& table : ledgerTables()) {
        const QString name = table.name.toLower().remove(QLatin1Char('"'));
        if (!present.contains(name) && !table.keptDeletions) {
            *error = QStringLiteral("Sunucudaki veri tabanında defter yok (%1): %2 tablosu bulunamadı.")
                         .arg(serverName(server), name);
            return false;
        }
    }
    return true;
}

} // namespace

QStringList tables()
{
    QStringList names;
    for (const Table& table : ledgerTables())
        names.append(table.name);
    return names;
}

bool copyTables(const QSqlDatabase& from, bool fromServer, const Database& to, QString* error, Indexes indexes)
{
    QStringList rebuilt;
    if (indexes == Indexes::BuiltAfter && to.isServer() && !dropIndexes(to, &rebuilt, error)) {
        *error = QStringLiteral("dizinler kaldırılamadı: %1").arg(*error);
        return false;
    }
    for (const Table& table : ledgerTables()) {
        // The schema's first rows (units, the counter) are replaced by the ledger's own. A ledger of an earlier
        // version without the deleted rows' tables has none to copy (asked through the catalogue, which a
        // failed SELECT would not be: on the server it would end the transaction).
        const bool absent = table.keptDeletions && !from.tables().contains(table.name, Qt::CaseInsensitive);
        if (!to.exec(QStringLiteral("DELETE FROM %1").arg(table.name), {}, error)
            || (!absent && !copyTable(from, fromServer, to, table, error))) {
            *error = QStringLiteral("%1 tablosu kopyalanamadı: %2").arg(table.name, *error);
            return false;
        }
    }
    for (const QString& definition : std::as_const(rebuilt)) {
        if (!to.exec(definition, {}, error)) {
            *error = QStringLiteral("dizin kurulamadı: %1").arg(*error);
            return false;
        }
    }
    return true;
}

bool moveSequences(const Database& server, QString* error)
{
    for (const Table& table : ledgerTables()) {
        const QVariant next = server.scalar(
            QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), coalesce((SELECT max(%1) FROM %2), 0) + 1, "
                           "false)")
                .arg(table.key, table.name),
            {table.name, table.key.toLower()}, error);
        if (!next.isValid()) {
            *error = QStringLiteral("%1 tablosunun sıra numarası ayarlanamadı: %2").arg(table.name, *error);
            return false;
        }
    }
    return true;
}

bool compareFigures(const QSqlDatabase& file, const QSqlDatabase& server, QStringList* lines, QString* error)
{
    QStringList a;
    QStringList b;
    if (!figuresOf(file, &a, error) || !figuresOf(server, &b, error))
        return false;
    static const char* const names[]
        = {"Müşteri sayısı", "Hareket sayısı", "Bakiye toplamı", "Eklenen toplamı", "Ödenen toplamı"};
    bool same = true;
    for (int i = 0; i < 5; ++i) {
        const bool money = i >= 2;
        const bool agrees = a.at(i) == b.at(i);
        same = same && agrees;
        lines->append(QStringLiteral("%1: dosyada %2, sunucuda %3%4")
                          .arg(QString::fromUtf8(names[i]), money ? moneyText(a.at(i)) : a.at(i),
                               money ? moneyText(b.at(i)) : b.at(i), agrees ? QString() : QStringLiteral("  FARKLI")));
    }
    if (!same)
        *error = QStringLiteral("iki taraftaki sayılar tutmuyor.");
    return same;
}

FileReader::FileReader(const QString& path)
    : m_name(QStringLiteral("zv_kopya_") + QUuid::createUuid().toString(QUuid::Id128))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        m_error = db.lastError().text();
}

FileReader::~FileReader()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isOpen()) {
            db.rollback();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase FileReader::connection() const
{
    return QSqlDatabase::database(m_name, false);
}

bool writeSnapshot(const ServerSettings& server, const QString& file, QStringList* lines, QString* error,
                   const SnapshotOpened& opened, Check check)
{
    const auto db = openLedger(server, error);
    if (!db)
        return false;
    // One snapshot of the server's ledger, however long the copy takes: it is fixed by the first read below.
    QSqlDatabase source = db->connection();
    QString why;
    if (!source.transaction()
        || !db->exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"), {}, &why)) {
        *error = QStringLiteral("Sunucudaki veri tabanı okunamadı (%1): %2")
                     .arg(serverName(server), why.isEmpty() ? source.lastError().text() : why);
        return false;
    }
    if (!hasLedgerTables(*db, server, error))
        return false;
    if (opened)
        opened();
    const QString shown = QDir::toNativeSeparators(file);
    const QString failed = QStringLiteral("Sunucudaki defter dosyaya yazılamadı (%1): %2");
    {
        const auto out = Database::open(file, &why);
        if (!out) {
            *error = failed.arg(shown, why);
            return false;
        }
        ScopedTransaction transaction(*out);
        if (!transaction.isActive()) {
            *error = failed.arg(shown, out->connection().lastError().text());
            return false;
        }
        if (!schema::create(*out, &why) || !copyTables(source, true, *out, &why)
            || !compareFigures(out->connection(), source, lines, &why)) {
            *error = failed.arg(shown, why);
            return false;
        }
        if (!transaction.commit()) {
            *error = failed.arg(shown, out->connection().lastError().text());
            return false;
        }
    }
    source.rollback();
    if (check == Check::None)
        return true;
    const DatabaseCheck::Result result = DatabaseCheck::inspect(file, DatabaseCheck::Depth::Tables);
    if (!result.usable()) {
        *error = failed.arg(shown, result.problems.join(QStringLiteral("; ")));
        return false;
    }
    return true;
}

bool backupTo(const ServerSettings& server, const QString& target, const QDate& today, QString* error,
              const SnapshotOpened& opened, Check check)
{
    const QString shown = QDir::toNativeSeparators(target);
    QTemporaryFile partial(FileCopy::temporaryTemplate(target));
    if (QFileInfo(target).fileName().isEmpty() || !partial.open()) {
        *error = QStringLiteral("Yedek yazılamadı: %1: %2").arg(shown, partial.errorString());
        return false;
    }
    partial.close();
    QStringList lines;
    if (!writeSnapshot(server, partial.fileName(), &lines, error, opened, check))
        return false;
    QString why;
    if (!FileCopy::syncFile(partial.fileName())) {
        *error = QStringLiteral("Yedek yazılamadı: %1: diske yazılamadı.").arg(shown);
        return false;
    }
    if (check == Check::Restorable && !DatabaseCheck::restorable(partial.fileName(), target, today, &why)) {
        *error = QStringLiteral("Yeni yedek denetimden geçmedi: %1").arg(why);
        return false;
    }
    if (!FileCopy::replace(partial.fileName(), target, &why)) {
        *error = QStringLiteral("Yedek yazılamadı: %1: %2").arg(shown, why);
        return false;
    }
    partial.setAutoRemove(false);
    return true;
}

bool replaceLedger(const ServerSettings& server, const QString& file, QStringList* lines, QString* error)
{
    const QString where = serverName(server);
    const QString shown = QDir::toNativeSeparators(file);
    const FileReader reader(file);
    if (!reader.error().isEmpty()) {
        *error = QStringLiteral("%1 okunamadı: %2").arg(shown, reader.error());
        return false;
    }
    QSqlDatabase source = reader.connection();
    // One read transaction: the rows and the figures come from the same state of the file.
    if (!source.transaction()) {
        *error = QStringLiteral("%1 okunamadı: %2").arg(shown, source.lastError().text());
        return false;
    }
    const auto db = openLedger(server, error);
    if (!db || !hasLedgerTables(*db, server, error))
        return false;

    const QString failed
        = QStringLiteral("Sunucudaki defter geri yüklenemedi (%1); sunucudaki veriler değiştirilmedi: %2");
    QString why;
    ScopedTransaction transaction(*db);
    if (!transaction.isActive()) {
        *error = failed.arg(where, db->connection().lastError().text());
        return false;
    }
    // Other tills' writes wait until the ledger is whole again; their reads see the old one until the commit. A
    // till holding its write open for long makes the restore give up rather than hang.
    QStringList locked = tables();
    locked.append(QStringLiteral("liste_toplami"));
    if (!db->exec(QStringLiteral("SET LOCAL lock_timeout = %1").arg(kLockWaitMs), {}, &why)
        || !db->exec(QStringLiteral("LOCK TABLE %1 IN EXCLUSIVE MODE").arg(locked.join(QStringLiteral(", "))), {},
                     &why)) {
        *error = failed.arg(where, why);
        return false;
    }
    bool ok = copyTables(source, false, *db, &why) && moveSequences(*db, &why);
    for (const QString& statement : schema::listTotalsRefill())
        ok = ok && db->exec(statement, {}, &why);
    ok = ok && compareFigures(source, db->connection(), lines, &why);
    if (!ok) {
        *error = failed.arg(where, why);
        return false;
    }
    if (!transaction.commit()) {
        *error = failed.arg(where, db->connection().lastError().text());
        return false;
    }
    // Fresh planner statistics for the refilled tables, as after --copy-to-server: without them the tills' first
    // reads scan instead of using the indexes until autovacuum gathers them. The restore stands either way.
    db->exec(QStringLiteral("ANALYZE musteriler, veresiye"));
    return true;
}

} // namespace zelvora::serverledger
