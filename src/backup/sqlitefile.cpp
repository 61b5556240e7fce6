// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/sqlitefile.h"

#include <QFile>
#include <sqlite3.h>

namespace zelvora {

SqliteFile::SqliteFile(const QString& path, Mode mode, int busyTimeoutMs)
{
    // One thread uses a connection: SQLite's own locking of every call is not needed.
    const bool create = mode == Mode::Create || path == QLatin1String(":memory:");
    const int flags = (mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX
        | (create ? SQLITE_OPEN_CREATE : 0);
    const QByteArray name = path == QLatin1String(":memory:") ? path.toUtf8() : QFile::encodeName(path);
    m_rc = sqlite3_open_v2(name.constData(), &m_db, flags, nullptr);
    m_open = m_rc == SQLITE_OK;
    if (m_open)
        sqlite3_busy_timeout(m_db, busyTimeoutMs);
}

SqliteFile::~SqliteFile()
{
    sqlite3_close_v2(m_db);
}

QString SqliteFile::error() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(m_rc));
}

int SqliteFile::extendedError() const
{
    return m_db ? sqlite3_extended_errcode(m_db) : m_rc;
}

bool SqliteFile::exec(const QString& sql, QString* error) const
{
    if (!m_open) {
        if (error)
            *error = this->error();
        return false;
    }
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK && error)
        *error = message ? QString::fromUtf8(message) : this->error();
    sqlite3_free(message);
    return rc == SQLITE_OK;
}

bool SqliteFile::rows(const QString& sql, const QStringList& values, QList<QStringList>* out, QString* error) const
{
    sqlite3_stmt* statement = nullptr;
    if (!m_open || sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
        if (error)
            *error = this->error();
        return false;
    }
    QList<QByteArray> bound;
    bound.reserve(values.size());
    for (int i = 0; i < values.size(); ++i) {
        bound.append(values.at(i).toUtf8());
        sqlite3_bind_text(statement, i + 1, bound.last().constData(), int(bound.last().size()), SQLITE_STATIC);
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        QStringList row;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
            row.append(text ? QString::fromUtf8(text) : QString());
        }
        out->append(row);
    }
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE) {
        if (error)
            *error = this->error();
        return false;
    }
    return true;
}

} // namespace zelvora
