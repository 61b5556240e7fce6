// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/database.h"

#include "data/customerrow.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <limits>
#include <sqlite3.h>
#include <thread>
#include <utility>

namespace zelvora {

namespace {

QString nextConnectionName()
{
    static std::atomic<int> counter {0};
    return QStringLiteral("zelvora-%1").arg(++counter);
}

QString engineText(const QSqlError& error)
{
    const QString text = error.databaseText().trimmed();
    return text.isEmpty() ? error.text().trimmed() : text;
}

// Waits for another connection's write in steps of a millisecond, up to five seconds. SQLite's own timeout
// sleeps in growing steps (up to 100 ms), which would hold the window still long after the other
// connection's short batch has ended.
thread_local bool t_noWait = false;

int waitBriefly(void* stopSlot, int attempts)
{
    if (t_noWait || attempts >= 5000)
        return 0;
    const auto* stop = static_cast<std::atomic<const std::atomic<bool>*>*>(stopSlot)->load();
    if (stop && stop->load())
        return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return 1;
}

} // namespace

Database::NoWait::NoWait()
    : m_before(t_noWait)
{
    t_noWait = true;
}

Database::NoWait::~NoWait()
{
    t_noWait = m_before;
}

Database::Database(DatabaseTarget target, QString connectionName)
    : m_target(std::move(target))
    , m_connectionName(std::move(connectionName))
    , m_stop(std::make_unique<std::atomic<const std::atomic<bool>*>>(nullptr))
{
}

Database::~Database()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

std::unique_ptr<Database> Database::open(const QString& path, QString* error)
{
    const QString name = nextConnectionName();
    std::unique_ptr<Database> result(new Database(DatabaseTarget::file(path), name));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    // mode=rw: SQLite refuses a missing file instead of creating an empty one.
    QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    uri.setQuery(QStringLiteral("mode=rw"));
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    if (!db.open()) {
        if (error)
            *error = engineText(db.lastError());
        return nullptr;
    }
    sqlite3* handle = *static_cast<sqlite3**>(db.driver()->handle().data());
    sqlite3_busy_handler(handle, waitBriefly, result->m_stop.get());
    if (!customerrow::registerKeyFunctions(handle)) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(handle));
        return nullptr;
    }
    // A byte copy of the file taken while no write runs must be a complete backup.
    QSqlQuery pragma(db);
    for (const auto* statement : {"PRAGMA journal_mode=DELETE", "PRAGMA synchronous=FULL"}) {
        if (!pragma.exec(QString::fromLatin1(statement))) {
            if (error)
                *error = engineText(pragma.lastError());
            return nullptr;
        }
    }
    return result;
}

namespace {

// A value of a libpq connect option, quoted as libpq reads it.
QString connectValue(const QString& value)
{
    QString quoted = value;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace

namespace {

// Opens db (a QPSQL connection) to server and sets the session up; false with the reason.
bool connectServer(QSqlDatabase db, const ServerSettings& server, QString* error)
{
    db.setHostName(server.host);
    db.setPort(server.port);
    db.setDatabaseName(server.name);
    db.setUserName(server.user);
    if (!server.password.isEmpty())
        db.setPassword(server.password);
    // A server that does not answer must not hold the window for libpq's default of forever, neither when
    // connecting nor when the network goes away under an open connection (TCP keepalives notice in about a
    // minute).
    db.setConnectOptions(QStringLiteral("sslmode=%1;connect_timeout=10;application_name=zelvora;keepalives=1;"
                                        "keepalives_idle=30;keepalives_interval=10;keepalives_count=3")
                             .arg(connectValue(server.sslmode.isEmpty() ? QStringLiteral("prefer") : server.sslmode)));
    if (!db.open()) {
        if (error)
            *error = engineText(db.lastError());
        return false;
    }
    // Dates and texts travel as the program writes them; nothing depends on the server's own settings.
    QSqlQuery setup(db);
    for (const auto* statement : {"SET client_encoding = 'UTF8'", "SET datestyle = 'ISO, YMD'"}) {
        if (!setup.exec(QString::fromLatin1(statement))) {
            if (error)
                *error = engineText(setup.lastError());
            return false;
        }
    }
    return true;
}

} // namespace

std::unique_ptr<Database> Database::openServer(const ServerSettings& server, QString* error)
{
    const QString name = nextConnectionName();
    std::unique_ptr<Database> result(new Database(DatabaseTarget::postgres(server), name));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    if (!db.isValid()) {
        if (error)
            *error = QStringLiteral("PostgreSQL sürücüsü (QPSQL) yüklenemedi.");
        return nullptr;
    }
    if (!connectServer(db, server, error))
        return nullptr;
    return result;
}

bool Database::isLost() const
{
    // The driver asks libpq for the connection's state: bad once a statement found the link gone.
    return isServer() && !connection().isOpen();
}

bool Database::reconnect(QString* error) const
{
    if (!isLost())
        return true;
    QSqlDatabase db = connection();
    // The driver forgets its channels when it closes; the watches on it keep listening on the new link. They
    // are kept here across attempts that find the server still away.
    if (QSqlDriver* driver = db.driver(); driver && !driver->subscribedToNotifications().isEmpty())
        m_channels = driver->subscribedToNotifications();
    db.close();
    if (!connectServer(db, m_target.server, error)) {
        m_failedReconnectAt = QDateTime::currentMSecsSinceEpoch();
        return false;
    }
    m_failedReconnectAt = 0;
    for (const QString& channel : std::exchange(m_channels, {}))
        db.driver()->subscribeToNotification(channel);
    return true;
}

void Database::reconnectIfLost() const
{
    if (m_transactions > 0 || !isLost())
        return;
    if (m_failedReconnectAt != 0 && QDateTime::currentMSecsSinceEpoch() - m_failedReconnectAt < 500)
        return;
    reconnect();
}

QString Database::unreachableText() const
{
    return QStringLiteral("Sunucuya (%1) ulaşılamıyor").arg(m_target.server.address());
}

std::unique_ptr<Database> Database::open(const DatabaseTarget& target, QString* error)
{
    return target.engine == Engine::PostgreSQL ? openServer(target.server, error) : open(target.path, error);
}

QStringList Database::tableNames(QString* error) const
{
    const QString sql = isServer()
        ? QStringLiteral("SELECT lower(table_name) FROM information_schema.tables WHERE table_schema = "
                         "current_schema() ORDER BY 1")
        : QStringLiteral("SELECT lower(name) FROM sqlite_master WHERE type = 'table' ORDER BY 1");
    QSqlQuery query = prepare(sql);
    QStringList names;
    if (!runWith(query, {}, error))
        return names;
    while (query.next())
        names << query.value(0).toString();
    return names;
}

qint64 Database::execCount(const QString& sql, const QVariantList& values, QString* error) const
{
    QSqlQuery query;
    if (!runText(query, sql, values, error))
        return -1;
    return query.numRowsAffected();
}

qint64 Database::insert(const QString& sql, const QVariantList& values, QString* error) const
{
    QSqlQuery query = prepare(isServer() ? sql + QStringLiteral(" RETURNING id") : sql);
    if (!runWith(query, values, error))
        return -1;
    if (isServer())
        return query.next() ? query.value(0).toLongLong() : -1;
    return query.lastInsertId().toLongLong();
}

QString Database::lockRowsSql() const
{
    return isServer() ? QStringLiteral(" FOR UPDATE") : QString();
}

QString Database::nullsFirst(bool descending) const
{
    if (!isServer())
        return {};
    return descending ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST");
}

void Database::setStopFlag(const std::atomic<bool>* stop)
{
    m_stop->store(stop);
}

QSqlDatabase Database::connection() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

QSqlQuery Database::prepare(const QString& sql) const
{
    reconnectIfLost();
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    // PostgreSQL sums whole numbers as numeric: read as text, so no kuruş is lost through a double.
    if (isServer())
        query.setNumericalPrecisionPolicy(QSql::HighPrecision);
    query.prepare(sql);
    return query;
}

bool Database::run(QSqlQuery& query)
{
    if (query.lastError().isValid())
        return false;
    return query.exec();
}

bool Database::runWith(QSqlQuery& query, const QVariantList& values, QString* error)
{
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (run(query))
        return true;
    if (error)
        *error = errorText(query);
    return false;
}

bool Database::runText(QSqlQuery& query, const QString& sql, const QVariantList& values, QString* error) const
{
    // The server prepares only plain statements (no CREATE, DROP, SET): one without values runs as it is.
    if (isServer() && values.isEmpty()) {
        reconnectIfLost();
        query = QSqlQuery(connection());
        query.setForwardOnly(true);
        query.setNumericalPrecisionPolicy(QSql::HighPrecision);
        if (query.exec(sql))
            return true;
        if (error)
            *error = errorText(query);
        return false;
    }
    query = prepare(sql);
    return runWith(query, values, error);
}

bool Database::exec(const QString& sql, const QVariantList& values, QString* error) const
{
    QSqlQuery query;
    return runText(query, sql, values, error);
}

QVariant Database::scalar(const QString& sql, const QVariantList& values, QString* error) const
{
    QSqlQuery query;
    if (!runText(query, sql, values, error))
        return {};
    return query.next() ? query.value(0) : QVariant();
}

std::optional<qint64> Database::wholeNumber(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
        return value.toLongLong();
    if (value.typeId() == QMetaType::ULongLong && value.toULongLong() <= quint64(std::numeric_limits<qint64>::max()))
        return qint64(value.toULongLong());
    return std::nullopt;
}

QString Database::errorText(const QSqlQuery& query)
{
    return engineText(query.lastError());
}

bool Database::isDuplicateKey(const QSqlQuery& query)
{
    // PostgreSQL's SQLSTATE 23505 (unique_violation); SQLite's extended codes: 2067 unique index, 1555 primary
    // key; plain 19 is any constraint.
    const QSqlError error = query.lastError();
    const QString code = error.nativeErrorCode();
    if (query.driver() && query.driver()->dbmsType() == QSqlDriver::PostgreSQL)
        return code == QLatin1String("23505");
    if (code == QLatin1String("2067") || code == QLatin1String("1555"))
        return true;
    return code == QLatin1String("19") && error.databaseText().startsWith(QLatin1String("UNIQUE constraint failed"));
}

ScopedTransaction::ScopedTransaction(const Database& db)
    : m_database(db)
{
    db.m_commitUnknown = false;
    db.reconnectIfLost();
    m_db = db.connection();
    m_active = m_db.transaction();
    // A server that went away while the till stood idle is noticed only by this BEGIN: nothing has been
    // written yet, so connecting again and beginning once more is safe.
    if (!m_active && db.isLost() && db.reconnect())
        m_active = m_db.transaction();
    if (m_active)
        ++db.m_transactions;
}

ScopedTransaction::~ScopedTransaction()
{
    if (m_active) {
        m_db.rollback();
        --m_database.m_transactions;
    }
}

bool ScopedTransaction::commit()
{
    if (!m_active)
        return false;
    m_active = false;
    --m_database.m_transactions;
    const bool wasUp = !m_database.isLost();
    // A failed COMMIT can leave SQLite's transaction open; later writes must not fall into it.
    if (m_db.commit())
        return true;
    // The link went with the COMMIT: whether the server stored it, nobody here can tell.
    if (wasUp && m_database.isLost())
        m_database.m_commitUnknown = true;
    m_db.rollback();
    return false;
}

} // namespace zelvora
