// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QVariant>
#include <QVector>
#include <optional>

namespace zelvora {

class Database;

// One row of the customer list, as the main window's grid shows it.
struct CustomerListRow
{
    qint64 id = 0;
    QString turu;
    QString musKodu;
    QString musteriFirma;
    QString sonislem; // stored ISO date, may be empty
    QVariant gun; // Sonislem minus the day asked for; null when the customer has no readable date
    QVariant bakiye; // whole kuruş, null until the account was first opened
    QVariant krediLimiti; // whole kuruş, null when the customer has no credit limit
    QString sortKey; // sira_anahtari: the row's place in name order (null while another tool's row lacks it)
};

// Which customers the list shows, and in which order.
struct CustomerListQuery
{
    enum class Kind {
        AllByName, // every customer in Turkish name order
        TableOrder, // every customer in the order they were added
        NamePrefix, // names that begin with text, in name order
        AccountType, // Turu equal to text, in name order
    };
    Kind kind = Kind::AllByName;
    QString text;

    static CustomerListQuery allByName() { return {}; }
    static CustomerListQuery tableOrder() { return {Kind::TableOrder, {}}; }
    static CustomerListQuery namePrefix(const QString& prefix) { return {Kind::NamePrefix, prefix}; }
    static CustomerListQuery accountType(const QString& turu) { return {Kind::AccountType, turu}; }
};

// Which rows of a list to read: counted from its top or its bottom, or from a row already read (the anchor),
// leaving out `skip` rows between the starting point and the rows read. Reading next to an anchor lets the
// index find the place at once, where an offset from the top would step over every row before it.
struct CustomerListWindow
{
    enum class From { Top, Bottom, After, Before };
    From from = From::Top;
    CustomerListRow anchor; // After / Before: its id and sortKey
    qint64 skip = 0;
    qint64 limit = 0;

    static CustomerListWindow top(qint64 skip, qint64 limit) { return {From::Top, {}, skip, limit}; }
};

// The customer list's reads, and the upkeep of the stored day counts and name keys, over the table musteriler.
class CustomerStore final
{
public:
    explicit CustomerStore(const Database& db)
        : m_db(db)
    {
    }

    // Ids one fill of name keys covers in one transaction.
    static constexpr qint64 NameKeySpan = 20000;

    // Fills the sort and search keys of every row that lacks them (rows written by another tool).
    bool refreshNameKeys(QString* error = nullptr) const;
    // Number of rows without keys, counting no further than limit; -1 when it cannot be read.
    qint64 missingNameKeys(qint64 limit, QString* error = nullptr) const;
    // Fills, in one statement and transaction, the keys of the rows that lack them in the id range of idSpan ids
    // that begins at the first such row above *afterId, and moves *afterId to the range's end. Returns how many
    // rows got keys (at least 1 when a range was done), 0 when no such row is left, or -1.
    qint64 fillNameKeys(qint64 idSpan, qint64* afterId, QString* error = nullptr) const;

    // Rewrites Gun = Sonislem - today for every customer whose stored day count differs, in one statement.
    bool updateDayCounts(const QDate& today, QString* error = nullptr) const;
    // Number of customers whose stored day count is not today's, counting no further than limit; -1 when it
    // cannot be read.
    qint64 staleDayCounts(const QDate& today, qint64 limit, QString* error = nullptr) const;
    // Rewrites the day counts of the customers with first <= id <= last that differ, in one statement, reading
    // that part of the table in order (for a table's worth of stale counts); the number written, or -1.
    qint64 updateDayCountsOfIds(const QDate& today, qint64 first, qint64 last, QString* error = nullptr) const;
    // The smallest and the largest id, or nothing for an empty table.
    std::optional<QPair<qint64, qint64>> idRange(QString* error = nullptr) const;

    qint64 count(const CustomerListQuery& query, QString* error = nullptr) const;
    // Rows in the list's order; each row's day count is computed for today.
    QVector<CustomerListRow> rows(const CustomerListQuery& query, const QDate& today, const CustomerListWindow& window,
                                  QString* error = nullptr) const;
    QVector<CustomerListRow> rows(const CustomerListQuery& query, qint64 offset, qint64 limit,
                                  QString* error = nullptr) const;
    // The row number of customer id in the list, or -1 when the list does not hold it.
    qint64 rowOf(const CustomerListQuery& query, qint64 id, QString* error = nullptr) const;

    // Whether the table holds any customer at all.
    bool hasCustomers(QString* error = nullptr) const;

private:
    // Rows matching every condition, in order (read backwards and turned round when backwards), with the day
    // count for today.
    QVector<CustomerListRow> read(const QStringList& conditions, const QVariantList& values, const QString& order,
                                  bool backwards, const QDate& today, qint64 skip, qint64 limit, QString* error) const;

    const Database& m_db;
};

} // namespace zelvora
