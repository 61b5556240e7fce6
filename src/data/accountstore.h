// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <optional>

namespace zelvora {

class Database;

// A customer's row of musteriler as the account window holds it between writes.
struct CustomerRecord
{
    qint64 id = 0;
    QString musKodu;
    QString musteriFirma;
    QString turu;
    QString telefon1;
    QString telefon2;
    QString sehir;
    QString adres;
    QString vd;
    QString vdn;
    QVariant bakiye; // whole kuruş, null until first computed
    QString sonislem; // ISO date, may be empty
    QVariant gun; // null when there is no date to count from
    QVariant krediLimiti; // whole kuruş; null when the customer has no credit limit

    bool operator==(const CustomerRecord&) const = default;
};

// One row of veresiye. Amounts in whole kuruş; null where the movement leaves a field unset.
struct Movement
{
    qint64 id = 0;
    QString musKodu;
    QString tarih; // ISO date
    QString saat; // HH:MM:SS
    QString aciklama;
    QVariant miktar;
    QString birim;
    QVariant kdv;
    QVariant eklenen;
    QVariant odenen;
    QString kullanici; // who stored it; empty for movements stored before that was kept
    QString kayit; // when it was stored, "YYYY-MM-DD HH:MM:SS"; empty as kullanici
};

// The reads and writes of one customer's account: the customer row, the movements, their sums.
class AccountStore final
{
public:
    explicit AccountStore(const Database& db)
        : m_db(db)
    {
    }

    // The customer with that number; nothing when there is none or it cannot be read.
    std::optional<CustomerRecord> customer(const QString& musKodu, QString* error = nullptr) const;
    // Writes every field of the row (by id), with fresh sort and search keys for the name.
    bool storeCustomer(const CustomerRecord& record, QString* error = nullptr) const;
    // Moves the customer row and its movements into the deleted rows (silinen_musteriler, silinen_hareketler),
    // with the signed-in user and the moment: all or nothing.
    bool deleteCustomer(const QString& musKodu, QString* error = nullptr) const;

    // Sums of Eklenen and Odenen in kuruş (0 over no rows).
    struct Sums
    {
        qint64 added = 0;
        qint64 paid = 0;
    };
    // What a reread of the account needs, in one pass over the index that holds the amounts: how many
    // movements, the id of the newest (0 when there is none) and the sums, all of the same moment. With
    // afterId, the same of the movements after that one only (those appended since), found through the ids
    // alone. Nothing when the query fails.
    struct Overview
    {
        qint64 count = 0;
        qint64 lastId = 0;
        Sums sums;
    };
    std::optional<Overview> overview(const QString& musKodu, std::optional<qint64> afterId = std::nullopt,
                                     QString* error = nullptr) const;

    // Up to limit of the customer's movements in entry (id) order, found from a known movement so that no
    // long run of rows is stepped over: the ones after the movement afterId (from the first when it is
    // nothing), skipping the first `skip` of them; or the ones before the movement beforeId, skipping the
    // `skip` nearest to it. Both come back oldest first.
    QVector<Movement> movementsAfter(const QString& musKodu, std::optional<qint64> afterId, qint64 skip, qint64 limit,
                                     QString* error = nullptr) const;
    QVector<Movement> movementsBefore(const QString& musKodu, qint64 beforeId, qint64 skip, qint64 limit,
                                      QString* error = nullptr) const;

    // How a credit is held against the customer's credit limit when it is appended.
    struct LimitCheck
    {
        // The limit the user agreed to go over; a limit lowered below it since is not agreed to.
        std::optional<qint64> agreed;
        // Out: set to the limit when the credit was refused for taking the balance above it.
        std::optional<qint64> exceeded;
    };

    // Appends a movement (its id is assigned by the database), stamped with the signed-in user and the moment
    // (the movement's own kullanici and kayit are not used), and, in the same transaction, brings the
    // customer's row up to date: the stored balance moved by the movement's amounts (the balance of all the
    // account's movements when none is stored), today as the last-transaction date and a day count of 0. Both or
    // neither; nothing when the customer has no row or the balance would not fit in 64 bits.
    // With limit, a credit (Eklenen > 0) that takes that balance above the customer's KrediLimiti, read in the
    // same transaction, is not stored unless agreed to: false, an empty error and limit->exceeded set.
    bool appendMovement(const Movement& movement, QString* error = nullptr, LimitCheck* limit = nullptr) const;
    // Moves the movement (all of the customer's movements) into silinen_hareketler with the signed-in user and the
    // moment, in one transaction, and brings the customer's to-collect date up to date with it. The customer's
    // balance is the caller's to bring up to date.
    bool deleteMovement(qint64 id, QString* error = nullptr) const;
    bool deleteAllMovements(const QString& musKodu, QString* error = nullptr) const;

    // Inside the caller's transaction: the customer's stored balance made the sum of its movements (the sums
    // overview() reads) and its day count counted from its last-transaction date to today. The list's totals
    // follow through the schema's triggers. False with *error when the balance does not fit or a statement fails.
    bool settleAccount(const QString& musKodu, QString* error = nullptr) const;

    // How many of the customer's movements come before the one with that id (after it, when fromEnd), so its
    // row from the first (or from the last); -1 when the customer has no such movement.
    qint64 movementRow(const QString& musKodu, qint64 id, bool fromEnd = false, QString* error = nullptr) const;

    // Unit names of birimler in table order.
    QStringList units(QString* error = nullptr) const;

private:
    // Copies the movements matching where (one placeholder, value) into silinen_hareketler, under keptCustomer
    // (null: deleted on their own), and deletes them; inside the caller's transaction.
    bool keepMovements(const QString& where, const QVariant& value, const QVariant& keptCustomer, QString* error) const;
    // keepMovements in a transaction of its own, with the customer's to-collect date after it; musKodu null: the
    // customer of the (one) matching movement.
    bool deleteMovements(const QString& where, const QVariant& value, QString musKodu, QString* error) const;
    // Inside the writing transaction: the day the customer's wait for collection counts from, again from its
    // movements (every write of movements ends here).
    bool afterMovementsChanged(const QString& musKodu, QString* error) const;

    const Database& m_db;
};

} // namespace zelvora
