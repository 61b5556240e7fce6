// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/engine.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <atomic>
#include <memory>
#include <optional>

namespace zelvora {

// Where a PostgreSQL ledger lives ([database] in zelvora.ini).
struct ServerSettings
{
    QString host = QStringLiteral("127.0.0.1"); // a name, an address, or a folder for a Unix socket
    int port = 5432;
    QString name = QStringLiteral("zelvora");
    QString user = QStringLiteral("zelvora");
    QString password; // empty: libpq's own ways (~/.pgpass, PGPASSFILE, peer)
    QString sslmode = QStringLiteral("prefer");

    // "host:port", as messages name the server.
    QString address() const { return host + QLatin1Char(':') + QString::number(port); }
};

// What a connection opens: a file, or a server.
struct DatabaseTarget
{
    Engine engine = Engine::SQLite;
    QString path; // SQLite
    ServerSettings server; // PostgreSQL

    static DatabaseTarget file(const QString& path) { return {Engine::SQLite, path, {}}; }
    static DatabaseTarget postgres(const ServerSettings& server) { return {Engine::PostgreSQL, {}, server}; }
};

// One open ledger. Each object owns its own QtSql connection, which serves only the thread that opened it: the
// windows, the command line and the stores run on the GUI (main) thread; the background upkeep of the customer
// rows (CustomerUpkeep) and the list counter open a Database of their own (open(target())) on their own thread.
//
// The stores' SQL runs on both engines. Where the engines differ there is one seam each:
// - duplicate keys: isDuplicateKey() (SQLite extended code 2067/1555, PostgreSQL SQLSTATE 23505);
// - which tables exist: tableNames();
// - rows a statement changed: execCount() (the driver's count on both, not SQLite's changes());
// - the id of an inserted row: insert();
// - a whole number read back: wholeNumber() (the PostgreSQL driver hands out a bigint unsigned when it is not
//   negative); sums over bigint columns (numeric on the server) come as text, so no kuruş is lost;
// - rows locked for the rest of the transaction: lockRowsSql() (FOR UPDATE on PostgreSQL; on SQLite the first
//   write of a transaction locks the whole file);
// - nulls first in name order: nullsFirst();
// - day counts: customerrow::dayCountSql() and staleDayCountSql() (julianday() on SQLite, the server schema's
//   zv_gun_no() over the same YYYY-MM-DD texts on PostgreSQL);
// - name keys: on SQLite every connection has the program's Turkish key functions zv_sira_anahtari(text) and
//   zv_arama_anahtari(text) registered, for use inside statements only (nothing stored in the file depends on
//   them, so other tools can still write it); PostgreSQL cannot call them, so there the program computes the
//   keys itself (customerrow::sortKeyOf/searchKeyOf) and binds them;
// - PRAGMAs, the busy handler, the stop flag and NoWait: SQLite only (on PostgreSQL the server waits for row
//   locks itself, reads never wait; setStopFlag() and NoWait do nothing there).
// - what other tills changed: ChangeWatch (the server schema's notifications; nothing on SQLite).
// - a lost server: isLost(), reconnect() (a file is never lost).
// The server's tables without an id of their own have a rowid column, so "ORDER BY rowid" reads alike on both.
class Database final
{
public:
    // Opens an existing file for reading and writing; never creates one. On failure returns nullptr and
    // puts the engine's error text into *error.
    static std::unique_ptr<Database> open(const QString& path, QString* error = nullptr);
    // Connects to a PostgreSQL server (driver QPSQL, sslmode among the connect options). On failure returns
    // nullptr and puts the engine's reason into *error.
    static std::unique_ptr<Database> openServer(const ServerSettings& server, QString* error = nullptr);
    // Either of the two.
    static std::unique_ptr<Database> open(const DatabaseTarget& target, QString* error = nullptr);
    ~Database();
    Q_DISABLE_COPY_MOVE(Database)

    Engine engine() const { return m_target.engine; }
    bool isServer() const { return m_target.engine == Engine::PostgreSQL; }
    // What this connection opened; open(target()) makes another connection to the same ledger.
    const DatabaseTarget& target() const { return m_target; }
    // The file's path; empty on a server.
    QString path() const { return m_target.path; }
    QSqlDatabase connection() const;

    // Whether the link to the server is gone (the server stopped or restarted, the network cut): a statement
    // failed on it. Always false on a file. Outside a transaction the next statement (or transaction) on a
    // lost connection first connects again to the same target, with the notifications it listened to; inside
    // one it fails, as what the transaction wrote before is gone with the link.
    bool isLost() const;
    // Connects again to the same server now; false with the reason. Nothing to do when the link is up.
    bool reconnect(QString* error = nullptr) const;
    // "Sunucuya (host:port) ulaşılamıyor", for messages about a lost server.
    QString unreachableText() const;
    // Whether the link went while the last transaction's COMMIT was on its way: the server may or may not have
    // stored it, so it must not simply be written again.
    bool commitOutcomeUnknown() const { return m_commitUnknown; }

    // Names of the tables in the ledger, in lower case.
    QStringList tableNames(QString* error = nullptr) const;

    // Runs a statement and returns how many rows it changed, or -1 with *error on failure.
    qint64 execCount(const QString& sql, const QVariantList& values = {}, QString* error = nullptr) const;

    // Runs an INSERT into a table whose key column is id and returns the new row's id, or -1 with *error.
    qint64 insert(const QString& sql, const QVariantList& values = {}, QString* error = nullptr) const;

    // Appended to a SELECT of rows the transaction is about to change: no other till changes them until it ends.
    QString lockRowsSql() const;

    // Appended to an ascending (descending) ORDER BY term: nulls come first (last), as SQLite orders them.
    QString nullsFirst(bool descending = false) const;

    // A query prepared on this connection; bind its values and run it with run().
    QSqlQuery prepare(const QString& sql) const;

    // Runs a prepared query. A query whose preparation failed is not run, so its error stays the engine's
    // own text (exec() would replace it with "No query").
    static bool run(QSqlQuery& query);
    // Binds values in order, runs, and puts the engine's text into *error on failure.
    static bool runWith(QSqlQuery& query, const QVariantList& values, QString* error = nullptr);

    // Runs a statement with positional values; returns false and fills *error on failure. On a server a
    // statement without values runs unprepared (the server prepares no CREATE, DROP or SET), as do scalar()'s
    // and execCount()'s.
    bool exec(const QString& sql, const QVariantList& values = {}, QString* error = nullptr) const;

    // The first column of the first row, or an invalid QVariant when there is no row or the query fails.
    QVariant scalar(const QString& sql, const QVariantList& values = {}, QString* error = nullptr) const;

    // A stored value as a whole number when the engine holds one there (SQLite's integer, PostgreSQL's bigint,
    // which the driver hands out unsigned when it is not negative); nothing for null, a real or a text.
    static std::optional<qint64> wholeNumber(const QVariant& value);

    // The engine's own message for a failed query.
    static QString errorText(const QSqlQuery& query);

    // Whether a query failed on a duplicate in a unique index (either engine).
    static bool isDuplicateKey(const QSqlQuery& query);

    // While *stop is true, a statement waiting for another connection's write gives up at once (it fails as
    // busy) instead of waiting up to five seconds: a thread asked to stop ends after the statement. The flag
    // must outlive the connection or be cleared with nullptr.
    void setStopFlag(const std::atomic<bool>* stop);

    // While one lives, statements on this thread fail at once when another connection holds the file,
    // instead of waiting: for reads the window can do again a moment later.
    class NoWait final
    {
    public:
        NoWait();
        ~NoWait();
        Q_DISABLE_COPY_MOVE(NoWait)

    private:
        bool m_before;
    };

private:
    friend class ScopedTransaction;

    Database(DatabaseTarget target, QString connectionName);
    // Connects again when the link is lost and no transaction is open, not more often than every half second
    // while the server stays away (a list retrying its pages must not hammer it).
    void reconnectIfLost() const;
    bool runText(QSqlQuery& query, const QString& sql, const QVariantList& values, QString* error) const;

    DatabaseTarget m_target;
    QString m_connectionName;
    // Read by the busy handler; heap-held so its address stays put.
    std::unique_ptr<std::atomic<const std::atomic<bool>*>> m_stop;
    mutable int m_transactions = 0;
    mutable bool m_commitUnknown = false;
    mutable qint64 m_failedReconnectAt = 0; // QDateTime ms; 0: none
    mutable QStringList m_channels; // listened to before the link went
};

// Rolls back unless commit() was called. Writes that belong together run inside one.
class ScopedTransaction final
{
public:
    explicit ScopedTransaction(const Database& db);
    ~ScopedTransaction();
    Q_DISABLE_COPY_MOVE(ScopedTransaction)

    bool isActive() const { return m_active; }
    bool commit();

private:
    const Database& m_database;
    QSqlDatabase m_db;
    bool m_active = false;
};

} // namespace zelvora
