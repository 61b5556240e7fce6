// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

namespace zelvora {

class Database;

// A customer who owes money, with how long since the last payment.
struct CollectionRow
{
    QString musKodu;
    QString musteriFirma;
    QString telefon1;
    QString telefon2;
    qint64 bakiye = 0; // whole kuruş, above 0
    QString lastPayment; // ISO date of the last movement with Odenen > 0; empty when never paid
    // Days since the last payment, or since the first movement when never paid; nothing when the customer has
    // no dated movement at all.
    std::optional<qint64> days;
};

// The reads behind the to-collect list "Tahsilat Listesi".
class CollectionStore final
{
public:
    explicit CollectionStore(const Database& db)
        : m_db(db)
    {
    }

    // Every customer with a stored balance above 0, the longest waiting first (on equal days the larger debt,
    // then the customer number); customers without any dated movement come last. minDays keeps the rows
    // waiting at least that many days (and those whose wait is unknown). Nothing when the read fails.
    std::optional<QVector<CollectionRow>> rows(const QDate& today, qint64 minDays = 0, QString* error = nullptr) const;

    // The rows waiting at least minDays (and those whose wait is unknown), in their order.
    static QVector<CollectionRow> waitingAtLeast(const QVector<CollectionRow>& rows, qint64 minDays);
    // The balances owed summed, or nothing when the sum does not fit in 64 bits.
    static std::optional<qint64> totalOwed(const QVector<CollectionRow>& rows);

private:
    const Database& m_db;
};

} // namespace zelvora
