// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

namespace zelvora {

class Database;

// The credits and payments one user stored on a day. An empty user stands for the movements stored without a
// user (before users were recorded, or by another tool).
struct DayUserTotal
{
    QString kullanici;
    qint64 eklenen = 0; // whole kuruş
    qint64 odenen = 0;
    qint64 count = 0; // movements
};

// A customer with a movement on the day whose balance after the day is above the credit limit.
struct OverLimitCustomer
{
    QString musKodu;
    QString musteriFirma;
    qint64 krediLimiti = 0;
    qint64 bakiye = 0; // after the day's movements
};

struct DaySummary
{
    QDate day;
    QVector<DayUserTotal> users; // by name in Turkish order, the unrecorded last
    DayUserTotal total; // every movement of the day; kullanici empty
    QVector<OverLimitCustomer> overLimit; // by customer number
};

// The reads behind "Gün Sonu".
class DaySummaryStore final
{
public:
    explicit DaySummaryStore(const Database& db)
        : m_db(db)
    {
    }

    // The day's totals per user and in all, and the customers the day took over their limit. Nothing, with the
    // reason, when a read fails or a sum leaves 64 bits.
    std::optional<DaySummary> summary(const QDate& day, QString* error = nullptr) const;

    // The statement that sums the day's movements per user; its two values are the day and the next day.
    static QString dayTotalsSql();

private:
    const Database& m_db;
};

} // namespace zelvora
