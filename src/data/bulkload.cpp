// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/bulkload.h"

#include "data/database.h"

#include <QLocale>
#include <QSqlDriver>
#include <cmath>
#include <libpq-fe.h>

namespace zelvora {

namespace {

// Lines gathered before they go to the server.
constexpr qsizetype kBlockBytes = 256 * 1024;

PGconn* serverHandle(const Database& db)
{
    if (!db.isServer())
        return nullptr;
    const QVariant handle = db.connection().driver()->handle();
    // The driver hands its PGconn out under the struct's own name.
    if (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0)
        return nullptr;
    return *static_cast<PGconn* const*>(handle.constData());
}

// The server's verdicts on the statement just sent, the last error kept; true when none failed.
bool drainResults(PGconn* conn, QString* error)
{
    bool ok = true;
    while (PGresult* result = PQgetResult(conn)) {
        if (PQresultStatus(result) != PGRES_COMMAND_OK) {
            ok = false;
            if (error)
                *error = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
        }
        PQclear(result);
    }
    return ok;
}

} // namespace

BulkLoad::BulkLoad(const Database& db)
    : m_conn(serverHandle(db))
{
}

BulkLoad::~BulkLoad()
{
    if (m_open) {
        PQputCopyEnd(m_conn, "yükleme yarıda kesildi");
        drainResults(m_conn, nullptr);
    }
}

bool BulkLoad::begin(const QString& table, const QStringList& columns, QString* error)
{
    if (!m_conn) {
        *error = QStringLiteral("sunucu bağlantısı yok.");
        return false;
    }
    // Another statement still running on the connection (a forward-only read) would be broken by this one.
    if (PQtransactionStatus(m_conn) == PQTRANS_ACTIVE) {
        *error = QStringLiteral("bağlantıda süren bir sorgu var.");
        return false;
    }
    const QString sql = QStringLiteral("COPY %1 (%2) FROM STDIN").arg(table, columns.join(QStringLiteral(", ")));
    PGresult* result = PQexec(m_conn, sql.toUtf8().constData());
    const bool started = PQresultStatus(result) == PGRES_COPY_IN;
    if (!started)
        *error = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
    PQclear(result);
    if (!started)
        return false;
    m_open = true;
    m_buffer.reserve(kBlockBytes + 4096);
    return true;
}

void BulkLoad::appendValue(QByteArray* line, const QVariant& value)
{
    if (value.isNull()) {
        line->append("\\N");
        return;
    }
    QByteArray text;
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
        line->append(QByteArray::number(value.toLongLong()));
        return;
    case QMetaType::ULongLong:
    case QMetaType::UInt:
        line->append(QByteArray::number(value.toULongLong()));
        return;
    case QMetaType::Double: {
        const double d = value.toDouble();
        if (std::isnan(d))
            line->append("NaN");
        else if (std::isinf(d))
            line->append(d > 0 ? "Infinity" : "-Infinity");
        else
            line->append(QByteArray::number(d, 'g', QLocale::FloatingPointShortest));
        return;
    }
    case QMetaType::Bool:
        line->append(value.toBool() ? "t" : "f");
        return;
    case QMetaType::QByteArray:
        text = value.toByteArray();
        break;
    default:
        text = value.toString().toUtf8();
        break;
    }
    for (const char c : std::as_const(text)) {
        switch (c) {
        case '\\':
            line->append("\\\\");
            break;
        case '\t':
            line->append("\\t");
            break;
        case '\n':
            line->append("\\n");
            break;
        case '\r':
            line->append("\\r");
            break;
        default:
            line->append(c);
        }
    }
}

void BulkLoad::add(const QVariant& value)
{
    if (m_rowStarted)
        m_buffer.append('\t');
    m_rowStarted = true;
    appendValue(&m_buffer, value);
}

bool BulkLoad::endRow(QString* error)
{
    m_buffer.append('\n');
    m_rowStarted = false;
    return m_buffer.size() < kBlockBytes || send(error);
}

bool BulkLoad::send(QString* error)
{
    if (!m_buffer.isEmpty() && PQputCopyData(m_conn, m_buffer.constData(), int(m_buffer.size())) != 1) {
        *error = connectionError();
        return false;
    }
    m_buffer.clear();
    return true;
}

bool BulkLoad::finish(QString* error)
{
    if (!m_open) {
        *error = QStringLiteral("yükleme başlatılmamış.");
        return false;
    }
    const bool sent = send(error);
    m_open = false;
    if (PQputCopyEnd(m_conn, sent ? nullptr : "yükleme yarıda kesildi") != 1) {
        if (sent)
            *error = connectionError();
        drainResults(m_conn, nullptr);
        return false;
    }
    QString verdict;
    const bool ok = drainResults(m_conn, &verdict);
    if (sent && !ok)
        *error = verdict;
    return sent && ok;
}

QString BulkLoad::connectionError() const
{
    return QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
}

} // namespace zelvora
