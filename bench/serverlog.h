// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The server-side counterpart of statementlog.h: every statement one connection to a PostgreSQL server runs, as
// the server logs it (log_statement = all for that session, read back from the server's log file), and the same
// statements run again straight through libpq on a connection of its own, as the raw baseline. The Qt driver
// prepares a query with PREPARE and runs it with EXECUTE; the replay prepares each once, untimed, and times the
// EXECUTEs and the plain statements: one round trip each, the least any client can do.
#include "data/database.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <iostream>
#include <libpq-fe.h>

namespace zelvora::bench {

class ServerLog final
{
public:
    // logFile: the server's log (its stderr); the session's statements are logged from here on.
    ServerLog(const Database& db, const QString& logFile)
        : m_db(db)
        , m_file(logFile)
        , m_pid(db.scalar(QStringLiteral("SELECT pg_backend_pid()")).toLongLong())
    {
        m_offset = QFile(m_file).size();
        db.exec(QStringLiteral("SET log_statement = 'all'"));
    }
    ~ServerLog() { m_db.exec(QStringLiteral("SET log_statement = 'none'")); }
    Q_DISABLE_COPY_MOVE(ServerLog)

    // The statements logged so far, in order.
    QStringList statements() const
    {
        QFile file(m_file);
        if (!file.open(QIODevice::ReadOnly) || !file.seek(m_offset))
            return {};
        const QString marker = QStringLiteral("[%1] LOG:  statement: ").arg(m_pid);
        QStringList found;
        bool inOurs = false;
        for (const QByteArray& raw : file.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw);
            if (line.startsWith(QLatin1Char('\t'))) {
                if (inOurs)
                    found.last() += QLatin1Char('\n') + line.mid(1);
                continue;
            }
            const qsizetype at = line.indexOf(marker);
            inOurs = at >= 0;
            if (inOurs)
                found << line.mid(at + marker.size());
        }
        found.removeIf([](const QString& s) { return s.startsWith(QLatin1String("SET log_statement")); });
        return found;
    }

private:
    const Database& m_db;
    QString m_file;
    qint64 m_pid;
    qint64 m_offset = 0;
};

// A libpq connection of its own, for the raw baselines.
class RawConnection final
{
public:
    explicit RawConnection(const ServerSettings& s)
    {
        const QString info = QStringLiteral("host='%1' port=%2 dbname='%3' user='%4' sslmode=disable")
                                 .arg(s.host)
                                 .arg(s.port)
                                 .arg(s.name, s.user);
        m_conn = PQconnectdb(info.toUtf8().constData());
        if (PQstatus(m_conn) != CONNECTION_OK)
            std::cerr << "raw connection: " << PQerrorMessage(m_conn) << '\n';
    }
    ~RawConnection() { PQfinish(m_conn); }
    Q_DISABLE_COPY_MOVE(RawConnection)

    // Runs one statement, reading every value of every row; false (and printed) when it fails.
    bool run(const QString& sql) const
    {
        PGresult* result = PQexec(m_conn, sql.toUtf8().constData());
        const ExecStatusType status = PQresultStatus(result);
        const bool ok = status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK;
        if (!ok)
            std::cerr << "raw: " << PQresultErrorMessage(result) << "  in: " << sql.left(200).toStdString() << '\n';
        for (int r = 0; ok && r < PQntuples(result); ++r) {
            for (int c = 0; c < PQnfields(result); ++c)
                benchmark::DoNotOptimize(PQgetvalue(result, r, c));
        }
        PQclear(result);
        return ok;
    }

    // The rows of a statement, one text per row with "|" between values.
    QStringList rows(const QString& sql) const
    {
        QStringList out;
        PGresult* result = PQexec(m_conn, sql.toUtf8().constData());
        for (int r = 0; r < PQntuples(result); ++r) {
            QStringList values;
            for (int c = 0; c < PQnfields(result); ++c)
                values << QString::fromUtf8(PQgetvalue(result, r, c));
            out << values.join(QLatin1Char('|'));
        }
        if (PQresultStatus(result) != PGRES_TUPLES_OK)
            out << QString::fromUtf8(PQresultErrorMessage(result));
        PQclear(result);
        return out;
    }

    // Runs a logged run of statements again; the milliseconds of the EXECUTEs and plain statements. Writes are
    // undone: a run that opens its own transaction ends in ROLLBACK instead of COMMIT, any other that writes
    // runs inside one that is rolled back (neither part of the time).
    double replay(const QStringList& statements)
    {
        static const QRegularExpression prepared(QStringLiteral("^PREPARE (\\S+) AS "));
        static const QRegularExpression executed(QStringLiteral("^EXECUTE (\\w+)"));
        for (const QString& s : statements) {
            if (const auto match = prepared.match(s); match.hasMatch())
                m_sql.insert(match.captured(1), s.mid(match.capturedEnd()));
        }
        const auto writes = [this](const QString& s) {
            const auto match = executed.match(s);
            const QString sql = match.hasMatch() ? m_sql.value(match.captured(1)) : s;
            return sql.startsWith(QLatin1String("INSERT")) || sql.startsWith(QLatin1String("UPDATE"))
                || sql.startsWith(QLatin1String("DELETE"));
        };
        const bool ownTransaction = statements.contains(QStringLiteral("BEGIN"));
        const bool wrap = !ownTransaction && std::any_of(statements.cbegin(), statements.cend(), writes);
        if (wrap)
            run(QStringLiteral("BEGIN"));
        double ms = 0;
        for (const QString& s : statements) {
            if (s.startsWith(QLatin1String("DEALLOCATE")) || s.startsWith(QLatin1String("LISTEN"))
                || s.startsWith(QLatin1String("UNLISTEN")))
                continue;
            if (const auto match = prepared.match(s); match.hasMatch()) {
                if (!m_prepared.contains(match.captured(1))) {
                    m_prepared.insert(match.captured(1));
                    run(s);
                }
                continue;
            }
            const QString sql = ownTransaction && s == QLatin1String("COMMIT") ? QStringLiteral("ROLLBACK") : s;
            QElapsedTimer timer;
            timer.start();
            run(sql);
            ms += double(timer.nsecsElapsed()) / 1e6;
        }
        if (wrap)
            run(QStringLiteral("ROLLBACK"));
        return ms;
    }

    // EXPLAIN ANALYZE of the logged statements slower than limitMs, printed (prepared ones are known to the
    // connection through an earlier replay).
    void explainSlow(const QStringList& statements, double limitMs)
    {
        for (const QString& s : statements) {
            if (!s.startsWith(QLatin1String("SELECT")) && !s.startsWith(QLatin1String("EXECUTE")))
                continue;
            QElapsedTimer timer;
            timer.start();
            run(s);
            if (double(timer.nsecsElapsed()) / 1e6 < limitMs)
                continue;
            std::cerr << "slow: " << s.left(300).toStdString() << '\n';
            for (const QString& line : rows(QStringLiteral("EXPLAIN (ANALYZE, BUFFERS) ") + s))
                std::cerr << "    " << line.toStdString() << '\n';
        }
    }

private:
    PGconn* m_conn = nullptr;
    QSet<QString> m_prepared;
    QHash<QString, QString> m_sql; // prepared statement name: its text
};

} // namespace zelvora::bench
