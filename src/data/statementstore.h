// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

namespace zelvora {

class Database;

// One movement of an account statement with the balance after it. Amounts in whole kuruş (0 where unset).
struct StatementLine
{
    qint64 id = 0;
    QString tarih; // stored ISO date
    QString saat; // stored HH:MM:SS
    QString aciklama;
    qint64 eklenen = 0;
    qint64 odenen = 0;
    qint64 balance = 0;
};

// A customer's account over a range of days: what was carried in from before it, the movements of the range in
// date, time and entry order with the running balance, and the sums and balance at its end.
struct AccountStatement
{
    qint64 carriedIn = 0;
    QVector<StatementLine> lines;
    qint64 totalAdded = 0;
    qint64 totalPaid = 0;
    qint64 closing = 0;
};

// The reads behind the account statement "Hesap Ekstresi".
class StatementStore final
{
public:
    explicit StatementStore(const Database& db)
        : m_db(db)
    {
    }

    // The statement from the first to the last day, both included. Movements without a date count as before
    // the range, so that a range up to today ends at the stored balance. Nothing when the reads fail or the
    // amounts do not fit in 64 bits, with the reason in *error.
    std::optional<AccountStatement> statement(const QString& musKodu, const QDate& first, const QDate& last,
                                              QString* error = nullptr) const;

private:
    const Database& m_db;
};

} // namespace zelvora
