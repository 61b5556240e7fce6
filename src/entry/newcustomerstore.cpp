// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry/newcustomerstore.h"

#include "data/customerrow.h"
#include "data/database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <cmath>
#include <limits>

namespace zelvora {

namespace {

const QString kLastCounterRow = QStringLiteral("(SELECT max(rowid) FROM son_musterino)");

// A stored counter as a whole number; nothing for an empty value, a text that is not a whole number, or a
// negative one (its successor would not be a customer number of digits).
std::optional<qint64> counterValue(const QVariant& stored)
{
    if (stored.isNull())
        return std::nullopt;
    if (stored.typeId() == QMetaType::Double) {
        const double value = stored.toDouble();
        if (!std::isfinite(value) || value != std::floor(value) || value < 0 || value >= 9.0e15)
            return std::nullopt;
        return qint64(value);
    }
    bool ok = false;
    const qint64 value = stored.toString().trimmed().toLongLong(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

// Runs work in one transaction and commits when it stored; the engine's text in *error when the transaction
// cannot begin or end.
template<typename Work> NewCustomerStore::Result inOneTransaction(const Database& db, QString* error, Work work)
{
    using Result = NewCustomerStore::Result;
    ScopedTransaction transaction(db);
    if (!transaction.isActive()) {
        if (error)
            *error = db.connection().lastError().text();
        return Result::Failed;
    }
    const Result result = work();
    if (result != Result::Stored)
        return result;
    if (!transaction.commit()) {
        if (error)
            *error = db.connection().lastError().text();
        return Result::Failed;
    }
    return Result::Stored;
}

} // namespace

QString NewCustomerStore::nextNumber(const QVariant& counter)
{
    const std::optional<qint64> value = counterValue(counter);
    if (!value || *value == std::numeric_limits<qint64>::max())
        return QStringLiteral("1");
    return QString::number(*value + 1);
}

QString NewCustomerStore::proposedNumber() const
{
    return nextNumber(
        m_db.scalar(QStringLiteral("SELECT musterino FROM son_musterino WHERE rowid = ") + kLastCounterRow));
}

NewCustomerStore::Result NewCustomerStore::add(const NewCustomer& customer, QString* error) const
{
    return inOneTransaction(m_db, error, [&] { return store(customer, error); });
}

NewCustomerStore::Result NewCustomerStore::addUnderNextNumber(const NewCustomer& customer, QString* number,
                                                              QString* error) const
{
    return inOneTransaction(m_db, error, [&] {
        // The counter's row is locked before it is read: on a server by the row lock, on SQLite by the write lock
        // this no-change update takes on the file. Another till's add waits here until this one has ended.
        const QString lock = m_db.isServer()
            ? QStringLiteral("SELECT musterino FROM son_musterino WHERE rowid = %1 FOR UPDATE").arg(kLastCounterRow)
            : QStringLiteral("UPDATE son_musterino SET musterino = musterino WHERE rowid = %1").arg(kLastCounterRow);
        if (!m_db.exec(lock, {}, error))
            return Result::Failed;
        NewCustomer numbered = customer;
        numbered.musKodu = proposedNumber();
        if (number)
            *number = numbered.musKodu;
        return store(numbered, error);
    });
}

NewCustomerStore::Result NewCustomerStore::store(const NewCustomer& customer, QString* error) const
{
    QSqlQuery insert = m_db.prepare(QStringLiteral(
        "INSERT INTO musteriler (mus_kodu, MusteriFirma, Turu, Telefon1, Telefon2, Sehir, vd, vdn, Adres, "
        "sira_anahtari, arama_anahtari) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QString& value :
         {customer.musKodu, customer.musteriFirma, customer.turu, customer.telefon1, customer.telefon2, customer.sehir,
          customer.vd, customer.vdn, customer.adres, customerrow::sortKeyOf(customer.musteriFirma),
          customerrow::searchKeyOf(customer.musteriFirma)})
        insert.addBindValue(value.isNull() ? QStringLiteral("") : value); // a cleared box is empty text, not NULL
    if (!insert.exec()) {
        if (error)
            *error = Database::errorText(insert);
        return Database::isDuplicateKey(insert) ? Result::DuplicateNumber : Result::Failed;
    }

    // The counter holds a number; a customer number that is not one is kept as the text it is.
    bool isNumber = false;
    const qint64 number = customer.musKodu.toLongLong(&isNumber);
    const QVariant counter = isNumber ? QVariant(number) : QVariant(customer.musKodu);
    QSqlQuery update
        = m_db.prepare(QStringLiteral("UPDATE son_musterino SET musterino = ? WHERE rowid = ") + kLastCounterRow);
    update.addBindValue(counter);
    if (!update.exec()) {
        if (error)
            *error = Database::errorText(update);
        return Result::Failed;
    }
    // A counter table without its row gets one, so the next proposal follows this customer.
    if (update.numRowsAffected() == 0
        && !m_db.exec(QStringLiteral("INSERT INTO son_musterino (musterino) VALUES (?)"), {counter}, error))
        return Result::Failed;
    return Result::Stored;
}

} // namespace zelvora
