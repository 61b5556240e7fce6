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
    // Removes the customer's movements and the customer row together: both or neither.
    bool deleteCustomer(const QString& musKodu, QString* error = nullptr) const;

    qint64 movementCount(const QString& musKodu, QString* error = nullptr) const;
    // The customer's movements in entry (id) order, a page at a time.
    QVector<Movement> movements(const QString& musKodu, qint64 offset, qint64 limit, QString* error = nullptr) const;

    // Sums of Eklenen and Odenen in kuruş (0 over no rows); nothing when the query fails.
    struct Sums
    {
        qint64 added = 0;
        qint64 paid = 0;
    };
    std::optional<Sums> sums(const QString& musKodu, QString* error = nullptr) const;

    // Appends a movement; its id is assigned by the database.
    bool appendMovement(const Movement& movement, QString* error = nullptr) const;
    bool deleteMovement(qint64 id, QString* error = nullptr) const;
    // All of the customer's movements in one statement.
    bool deleteAllMovements(const QString& musKodu, QString* error = nullptr) const;

    // The row (from 0, in entry order) of the customer's movement with that id; -1 when it is not there.
    qint64 movementRow(const QString& musKodu, qint64 id, QString* error = nullptr) const;

    // Unit names of birimler in table order.
    QStringList units(QString* error = nullptr) const;

private:
    const Database& m_db;
};

} // namespace zelvora
