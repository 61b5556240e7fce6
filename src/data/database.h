#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <memory>

namespace zelvora {

// One open database file. Each object owns its own QtSql connection; everything runs on the GUI thread.
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
