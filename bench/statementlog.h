// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every statement one database connection runs, with its bound values, as SQLite starts it; and how SQLite
// plans a statement. The account benchmarks count the window's reads with it and check that no statement
// sorts an account or steps over a long run of it.
#include "data/database.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QStringList>
#include <sqlite3.h>
#include <string_view>

namespace zelvora::bench {

class StatementLog final
{
public:
    explicit StatementLog(const Database& db)
        : m_handle(*static_cast<sqlite3**>(db.connection().driver()->handle().data()))
    {
        sqlite3_trace_v2(m_handle, SQLITE_TRACE_STMT, &StatementLog::traced, this);
    }
    ~StatementLog() { sqlite3_trace_v2(m_handle, 0, nullptr, nullptr); }
    Q_DISABLE_COPY_MOVE(StatementLog)

    const QStringList& statements() const { return m_statements; }
    void clear() { m_statements.clear(); }
    qsizetype count(const QString& fragment) const
    {
        qsizetype n = 0;
        for (const QString& s : m_statements)
            n += s.contains(fragment, Qt::CaseInsensitive) ? 1 : 0;
        return n;
    }

    // SQLite's plan of a statement, one line per step.
    QStringList plan(const QString& sql) const
    {
        QStringList lines;
        m_paused = true;
        sqlite3_stmt* stmt = nullptr;
        const QByteArray text = QStringLiteral("EXPLAIN QUERY PLAN %1").arg(sql).toUtf8();
        if (sqlite3_prepare_v2(m_handle, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK)
            lines << QStringLiteral("(plan yok: %1)").arg(QString::fromUtf8(sqlite3_errmsg(m_handle)));
        while (stmt && sqlite3_step(stmt) == SQLITE_ROW)
            lines << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
        sqlite3_finalize(stmt);
        m_paused = false;
        return lines;
    }

    // The largest OFFSET among the logged statements.
    qint64 largestOffset() const
    {
        static const QRegularExpression offset(QStringLiteral("OFFSET (\\d+)"));
        qint64 largest = 0;
        for (const QString& s : m_statements) {
            for (const auto& match : offset.globalMatch(s))
                largest = std::max(largest, match.captured(1).toLongLong());
        }
        return largest;
    }

    // The logged statements on veresiye whose plan sorts, or walks the table or a whole index instead of
    // seeking one account's range, each with its plan.
    QStringList badPlans() const
    {
        QStringList bad;
        for (const QString& s : m_statements) {
            if (!s.contains(QLatin1String("veresiye"), Qt::CaseInsensitive) || !s.startsWith(QLatin1String("SELECT")))
                continue;
            const QStringList steps = plan(s);
            for (const QString& step : steps) {
                if (step.contains(QLatin1String("TEMP B-TREE")) || step.startsWith(QLatin1String("SCAN veresiye"))) {
                    bad << s + QStringLiteral("\n    ") + steps.join(QStringLiteral("\n    "));
                    break;
                }
            }
        }
        return bad;
    }

    // Runs the statements again, straight through SQLite on the same connection, reading every row; the
    // milliseconds they took. The raw baseline of what the program did.
    double runDirectly(const QStringList& statements) const
    {
        m_paused = true;
        QElapsedTimer timer;
        timer.start();
        for (const QString& s : statements) {
            const QByteArray text = s.toUtf8();
            sqlite3_stmt* stmt = nullptr;
            if (sqlite3_prepare_v2(m_handle, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK)
                continue;
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                    if (sqlite3_column_type(stmt, c) == SQLITE_TEXT)
                        sqlite3_column_text(stmt, c);
                    else
                        sqlite3_column_int64(stmt, c);
                }
            }
            sqlite3_finalize(stmt);
        }
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        m_paused = false;
        return ms;
    }

private:
    static int traced(unsigned, void* self, void* statement, void* text)
    {
        auto* log = static_cast<StatementLog*>(self);
        // A trigger's program is announced as a comment; it is part of the statement that fired it.
        if (log->m_paused || std::string_view(static_cast<const char*>(text)).starts_with("--"))
            return 0;
        char* sql = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(statement));
        log->m_statements << QString::fromUtf8(sql ? sql : "");
        sqlite3_free(sql);
        return 0;
    }

    sqlite3* m_handle;
    QStringList m_statements;
    mutable bool m_paused = false;
};

} // namespace zelvora::bench
