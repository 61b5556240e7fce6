// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

struct pg_conn;

namespace zelvora {

class Database;

// Rows streamed into one table of a PostgreSQL ledger with COPY, on the Qt driver's own libpq connection and so
// inside its open transaction: the server reads plain lines instead of parsing a statement for every few hundred
// rows, and the program formats each value once instead of binding it into SQL. Memory stays bounded: the lines
// go to the server in blocks.
class BulkLoad final
{
public:
    explicit BulkLoad(const Database& db);
    // A load begun and not finished is cancelled: the server then fails the transaction, which the caller undoes.
    ~BulkLoad();
    Q_DISABLE_COPY_MOVE(BulkLoad)

    bool begin(const QString& table, const QStringList& columns, QString* error);
    // The next value of the current row, in the order of the columns given to begin().
    void add(const QVariant& value);
    bool endRow(QString* error);
    // Sends what is left and waits for the server's verdict on the whole table.
    bool finish(QString* error);

private:
    // A value as COPY's text format writes it (\N for null; backslash, tab, newline and return escaped).
    static void appendValue(QByteArray* line, const QVariant& value);
    bool send(QString* error);
    QString connectionError() const;

    pg_conn* m_conn = nullptr;
    QByteArray m_buffer;
    bool m_rowStarted = false;
    bool m_open = false;
};

} // namespace zelvora
