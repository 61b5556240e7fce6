// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace zelvora {

class Database;

// What the new-customer window stores in musteriler.
struct NewCustomer
{
    QString musKodu;
    QString musteriFirma;
    QString turu;
    QString telefon1;
    QString telefon2;
    QString sehir;
    QString vd;
    QString vdn;
    QString adres;
};

// The customer-number counter (son_musterino) and the insert of a new customer.
class NewCustomerStore final
{
public:
    enum class Result { Stored, DuplicateNumber, Failed };

    explicit NewCustomerStore(const Database& db)
        : m_db(db)
    {
    }

    // The number to propose: the counter's last row plus 1; 1 when that row is missing, empty or not a
    // whole number.
    QString proposedNumber() const;

    // The next number after a stored counter value, as proposedNumber() forms it.
    static QString nextNumber(const QVariant& counter);

    // Stores the customer and moves the counter (its last row) to the customer's number, in one transaction:
    // both or neither. A number already in the table gives DuplicateNumber and changes nothing.
    Result add(const NewCustomer& customer, QString* error = nullptr) const;

    // As add(), under the number the counter gives at this moment: the counter's row is locked in the
    // customer's own transaction before it is read, so two tills adding customers at once get two numbers.
    // The number stored (or tried) goes into *number.
    Result addUnderNextNumber(const NewCustomer& customer, QString* number, QString* error = nullptr) const;

private:
    // The insert and the counter's move, inside the caller's transaction.
    Result store(const NewCustomer& customer, QString* error) const;

    const Database& m_db;
};

} // namespace zelvora
