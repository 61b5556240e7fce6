// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/engine.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <functional>
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
    QString since; // BeklemeTarihi: the ISO date the wait counts from; empty when unknown
    QString lastPayment; // ISO date of the last movement with Odenen > 0; empty when never paid
    // Days since the last payment, or since the first movement when never paid; nothing when the customer has
    // no dated movement at all.
    std::optional<qint64> days;
    std::optional<qint64> krediLimiti; // whole kuruş; nothing: no limit

    // The balance is above the customer's credit limit.
    bool overLimit() const { return krediLimiti && bakiye > *krediLimiti; }
};

// The reads behind the to-collect list "Tahsilat Listesi". Every customer with a stored balance above 0, the
// longest waiting first (on equal days the larger debt, then the customer number); customers without any dated
// movement come last. The wait counts from the stored BeklemeTarihi, which the account store keeps with every
// movement, so the list is read a page at a time along one index.
class CollectionStore final
{
public:
    explicit CollectionStore(const Database& db)
        : m_db(db)
    {
    }

    // What the list shows: customers waiting at least minDays (and those whose wait is unknown) on today.
    // minDays 0 keeps everyone who owes, also those whose last date lies after today.
    struct Filter
    {
        QDate today;
        qint64 minDays = 0;
    };

    // The list's size in one aggregate: its rows, how many of them have a known wait (they come first), and
    // the balances summed (nothing when the sum does not fit in 64 bits).
    struct Summary
    {
        qint64 count = 0;
        qint64 dated = 0;
        std::optional<qint64> total;
    };
    std::optional<Summary> summary(const Filter& filter, QString* error = nullptr) const;

    // The list has two parts: the rows with a known wait, then the rest.
    enum class Part { Dated, Undated };
    // A run of rows of one part: from its top or bottom, or after or before a row of it already read, skipping
    // `skip` rows on the way; limit rows at most, always in list order.
    struct Window
    {
        enum class From { Top, Bottom, After, Before };
        Part part = Part::Dated;
        From from = From::Top;
        CollectionRow anchor; // for After and Before
        qint64 skip = 0;
        qint64 limit = 0;
    };
    QVector<CollectionRow> rows(const Filter& filter, const Window& window, QString* error = nullptr) const;

    // Every row of the list in order, handed to each one by one as read (false from each stops the read).
    // False and the engine's text when the read fails.
    bool forEach(const Filter& filter, const std::function<bool(const CollectionRow&)>& each,
                 QString* error = nullptr) const;
    // The whole list at once; nothing when the read fails. For small lists (and tests).
    std::optional<QVector<CollectionRow>> rows(const QDate& today, qint64 minDays = 0, QString* error = nullptr) const;

    // The place of the customer in the list, or -1 when it is not on it.
    qint64 rowOf(const Filter& filter, const QString& musKodu, QString* error = nullptr) const;

    // Sets BeklemeTarihi of the customer (bound three times: the number) from its movements.
    static QString refreshOneSql(Engine engine);
    // A table (mus_kodu, d) of the date each customer with movements should have in BeklemeTarihi (d null when
    // none of its movements has a readable date).
    static QString datesFromMovementsSql(Engine engine);
    // Sets BeklemeTarihi of every customer whose stored date is not the one its movements give, set-based;
    // no bound values. Run in order.
    static QStringList refreshAllSql(Engine engine);
    // Runs refreshAllSql() and returns how many customers changed, or -1 with the engine's text.
    qint64 refreshAll(QString* error = nullptr) const;

private:
    const Database& m_db;
};

} // namespace zelvora
