// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace zelvora::cli {

enum class ExportKind { Customers, Movements };

// One field as RFC 4180 wants it with ";" between fields: quoted (quotes doubled) when it holds ";", a
// quote or a line break, else as it is.
void appendCsvField(QByteArray& line, const char* text, qsizetype size);

// Whole kuruş in the Turkish form "1.234,56" / "-1.234,56".
void appendMoney(QByteArray& line, qint64 kurus);

// Writes the customers (Turkish name order) or the movements (by customer in that order, then entry order)
// as CSV: UTF-8 with a byte-order mark, ";" between fields, CR LF line ends, amounts in the Turkish form,
// dates dd.MM.yyyy. The file appears whole or not at all. False with a Turkish reason.
bool exportCsv(const QString& databasePath, ExportKind kind, const QString& file, QString* error,
               qint64* rows = nullptr);

} // namespace zelvora::cli
