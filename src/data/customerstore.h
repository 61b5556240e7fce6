#pragma once

#include <QDate>
#include <QString>
#include <QVariant>
#include <QVector>

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
    QVariant gun; // null when the customer has no last-transaction date
    QVariant bakiye; // whole kuruş, null until the account was first opened
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

// The customer list's reads and the day count over the table musteriler.
class CustomerStore final
{
public:
    explicit CustomerStore(const Database& db)
        : m_db(db)
    {
    }

    // Fills the sort and search keys of rows that lack them (rows written by another tool).
    bool refreshNameKeys(QString* error = nullptr) const;

    // Rewrites Gun = Sonislem - today for every customer whose stored day count differs, in one statement.
    bool updateDayCounts(const QDate& today, QString* error = nullptr) const;

    qint64 count(const CustomerListQuery& query, QString* error = nullptr) const;
    QVector<CustomerListRow> rows(const CustomerListQuery& query, qint64 offset, qint64 limit,
                                  QString* error = nullptr) const;

    // Number of customers in the whole table.
    qint64 totalCount(QString* error = nullptr) const;

private:
    const Database& m_db;
};

} // namespace zelvora
