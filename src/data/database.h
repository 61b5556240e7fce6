// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <atomic>
#include <memory>

namespace zelvora {

// One open database file. Each object owns its own QtSql connection, which serves only the thread that opened
// it: the windows, the command line and the stores run on the GUI (main) thread; the background upkeep of the
// customer rows (CustomerUpkeep) opens a Database of its own on its own thread. Every connection has the
// program's Turkish key functions zv_sira_anahtari(text) and zv_arama_anahtari(text) registered, for use inside
// statements only: nothing stored in the file depends on them, so other tools can still write it.
class Database final
{
public:
    // Opens an existing file for reading and writing; never creates one. On failure returns nullptr and
    // puts the engine's error text into *error.
    static std::unique_ptr<Database> open(const QString& path, QString* error = nullptr);
    ~Database();
    Q_DISABLE_COPY_MOVE(Database)

    QString path() const { return m_path; }
    QSqlDatabase connection() const;

    // A query prepared on this connection; bind its values and run it with run().
    QSqlQuery prepare(const QString& sql) const;

    // Runs a prepared query. A query whose preparation failed is not run, so its error stays the engine's
    // own text (exec() would replace it with "No query").
    static bool run(QSqlQuery& query);
    // Binds values in order, runs, and puts the engine's text into *error on failure.
    static bool runWith(QSqlQuery& query, const QVariantList& values, QString* error = nullptr);

    // Runs a statement with positional values; returns false and fills *error on failure.
    bool exec(const QString& sql, const QVariantList& values = {}, QString* error = nullptr) const;

    // The first column of the first row, or an invalid QVariant when there is no row or the query fails.
    QVariant scalar(const QString& sql, const QVariantList& values = {}, QString* error = nullptr) const;

    // The engine's own message for a failed query.
    static QString errorText(const QSqlQuery& query);

    // SQLite's extended result code for a failed query ("2067" is a duplicate in a unique index).
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
    Database(QString path, QString connectionName);

    QString m_path;
    QString m_connectionName;
    // Read by the busy handler; heap-held so its address stays put.
    std::unique_ptr<std::atomic<const std::atomic<bool>*>> m_stop;
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
    QSqlDatabase m_db;
    bool m_active = false;
};

} // namespace zelvora
