// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QVector>
#include <optional>

namespace zelvora {

class Database;

// Rows of a report as they print: money "#,##0.00" in Turkish, dates dd.MM.yyyy, times HH:mm:ss.
struct ReportRows
{
    QStringList columns;
    QVector<QStringList> rows;
};

namespace reportdata {

// Every customer in the program's Turkish name order (musterilistesi).
std::optional<ReportRows> customerList(const Database& db, QString* error = nullptr);

// The customer's movements by date and time, then in entry order (carirapor).
std::optional<ReportRows> statement(const Database& db, const QString& musKodu, QString* error = nullptr);

} // namespace reportdata

} // namespace zelvora
